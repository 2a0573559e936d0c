// The compiled resources as the program carries them: both dialog
// templates control by control in tab order, the title string, the version
// information, and the manifest as the loader read it.
#define _WIN32_WINNT 0x0A00  // for the activation context queries
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "resources/version.h"

namespace {

const WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// Reads a DLGTEMPLATE resource: a header line, then one line per control.
class TemplateReader {
public:
    explicit TemplateReader(const void* data) : p_(static_cast<const BYTE*>(data)) {}

    // "style x,y,cx,cy caption 'text' font N 'face' controls N"
    std::string Header()
    {
        const DWORD style = Dword(), exStyle = Dword();
        controls_ = Word();
        const int x = Short(), y = Short(), cx = Short(), cy = Short();
        const std::string menu = SzOrOrd(), cls = SzOrOrd(), caption = Sz();
        std::string font = "no font";
        if (style & DS_SETFONT) {
            const int points = Word();
            font = "font " + std::to_string(points) + " '" + Sz() + "'";
        }
        char text[256];
        std::snprintf(text, sizeof text, "%08lX ex %lX %d,%d,%d,%d menu '%s' class '%s' caption '%s' %s controls %d",
                      static_cast<unsigned long>(style), static_cast<unsigned long>(exStyle), x, y, cx, cy,
                      menu.c_str(), cls.c_str(), caption.c_str(), font.c_str(), controls_);
        return text;
    }

    // "id class style ex x,y,cx,cy 'text'", controls in template order.
    std::vector<std::string> Controls()
    {
        std::vector<std::string> lines;
        for (int i = 0; i < controls_; i++) {
            Align();
            const DWORD style = Dword(), exStyle = Dword();
            const int x = Short(), y = Short(), cx = Short(), cy = Short();
            const int id = static_cast<short>(Word());
            const std::string cls = SzOrOrd(), title = SzOrOrd();
            p_ += Word();  // creation data
            char text[512];
            std::snprintf(text, sizeof text, "%d %s %08lX ex %lX %d,%d,%d,%d '%s'", id, cls.c_str(),
                          static_cast<unsigned long>(style), static_cast<unsigned long>(exStyle), x, y, cx, cy,
                          title.c_str());
            lines.push_back(text);
        }
        return lines;
    }

private:
    WORD Word()
    {
        WORD w;
        std::memcpy(&w, p_, 2);
        p_ += 2;
        return w;
    }
    short Short() { return static_cast<short>(Word()); }
    DWORD Dword()
    {
        DWORD d;
        std::memcpy(&d, p_, 4);
        p_ += 4;
        return d;
    }
    std::string Sz()  // a UTF-16 string; the texts here are all ASCII
    {
        std::string s;
        for (WORD c = Word(); c != 0; c = Word())
            s += c < 0x80 ? static_cast<char>(c) : '?';
        return s;
    }
    std::string SzOrOrd()  // a string, or 0xFFFF and an ordinal (the predefined classes' atoms)
    {
        const WORD first = Word();
        if (first == 0xFFFF) {
            switch (const WORD ord = Word()) {
            case 0x80: return "Button";
            case 0x81: return "Edit";
            case 0x82: return "Static";
            default: return "#" + std::to_string(ord);
            }
        }
        p_ -= 2;
        return Sz();
    }
    void Align()
    {
        while (reinterpret_cast<uintptr_t>(p_) % 4 != 0)
            p_++;
    }
    const BYTE* p_;
    int controls_ = 0;
};

const void* DialogResource(int id)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExA(module, RT_DIALOG, MAKEINTRESOURCEA(id), kUsEnglish);
    return found ? LockResource(LoadResource(module, found)) : nullptr;
}

std::string Line(int id, const char* cls, DWORD style, int x, int y, int cx, int cy, const char* text)
{
    char line[512];
    std::snprintf(line, sizeof line, "%d %s %08lX ex 0 %d,%d,%d,%d '%s'", id, cls,
                  static_cast<unsigned long>(style | WS_CHILD | WS_VISIBLE), x, y, cx, cy, text);
    return line;
}

TEST(Resources, ConfigurationDialogTemplate)
{
    const void* data = DialogResource(IDD_CONFIG);
    ASSERT_NE(nullptr, data) << "no US English dialog 101";
    TemplateReader reader(data);
    char header[256];
    std::snprintf(header, sizeof header,
                  "%08lX ex 0 10,10,201,148 menu '' class '' caption 'Configure Screen Saver' font 8 'MS Sans Serif' "
                  "controls 12",
                  static_cast<unsigned long>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                             DS_SETFONT));
    EXPECT_EQ(header, reader.Header());
    const DWORD edit = WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
    const DWORD check = BS_AUTOCHECKBOX | WS_TABSTOP;
    const DWORD label = SS_LEFT | WS_GROUP;
    std::vector<std::string> expected = {
        Line(IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, 7, 127, 52, 14, "OK"),
        Line(IDCANCEL, "Button", BS_PUSHBUTTON | WS_TABSTOP, 142, 127, 52, 14, "Cancel"),
        Line(IDC_ROTATE, "Button", check, 45, 80, 107, 10, "*"),
        Line(IDC_CONTINUOUS, "Button", check, 45, 95, 107, 10, "Generate points continuously"),
        Line(IDC_POINTS, "Edit", edit, 134, 7, 60, 13, ""),
        Line(-1, "Static", label, 5, 10, 109, 8, "Enter the number of points to draw"),
        Line(IDC_FRAME_MS, "Edit", edit, 134, 30, 60, 13, ""),
        Line(-1, "Static", label, 5, 30, 120, 15, "Enter the number of milli seconds to wait between frames"),
        Line(-1, "Static", label, 5, 55, 120, 16, "Enter the number of seconds to wait before clearing the screen"),
        Line(IDC_CLEAR_SECS, "Edit", edit, 134, 54, 60, 13, ""),
        Line(IDC_ABOUT, "Button", BS_PUSHBUTTON | WS_TABSTOP, 75, 127, 50, 14, "About"),
        Line(IDC_BLANK, "Button", check, 45, 110, 107, 10, "Blank screen on startup"),
    };
    std::vector<std::string> actual = reader.Controls();
    // The rotation label's wording is free; it only has to say something.
    ASSERT_EQ(expected.size(), actual.size());
    const size_t quote = actual[2].find('\'');
    EXPECT_GT(actual[2].size(), quote + 2) << "the rotation check box has no label";
    actual[2] = actual[2].substr(0, quote) + "'*'";
    EXPECT_EQ(expected, actual);
}

TEST(Resources, AboutBoxTemplate)
{
    const void* data = DialogResource(IDD_ABOUT);
    ASSERT_NE(nullptr, data) << "no US English dialog 102";
    TemplateReader reader(data);
    char header[256];
    std::snprintf(header, sizeof header,
                  "%08lX ex 0 20,20,177,141 menu '' class '' caption '' font 10 'MS Sans Serif' controls 6",
                  static_cast<unsigned long>(WS_POPUP | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK));
    EXPECT_EQ(header, reader.Header());
    const std::vector<std::string> actual = reader.Controls();
    ASSERT_EQ(6u, actual.size());
    EXPECT_EQ(Line(IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, 64, 120, 50, 14, "OK"), actual[0]);
    EXPECT_EQ(Line(-1, "Static", SS_CENTER | WS_GROUP, 53, 7, 72, 8, "Zorvane Screen Saver"), actual[1]);
    EXPECT_EQ(Line(-1, "Static", SS_LEFT | WS_GROUP, 71, 23, 36, 8, "Version 1.1"), actual[2]);
    // The notice, contact paragraph and address: free wording, fixed places.
    const std::string prefixes[3] = {Line(-1, "Static", SS_LEFT | WS_GROUP, 31, 41, 115, 8, ""),
                                     Line(-1, "Static", SS_LEFT | WS_GROUP, 11, 63, 155, 27, ""),
                                     Line(-1, "Static", SS_CENTER | WS_GROUP, 62, 99, 52, 8, "")};
    for (int i = 0; i < 3; i++) {
        const std::string prefix = prefixes[i].substr(0, prefixes[i].size() - 1);  // without the closing quote
        EXPECT_EQ(prefix, actual[3 + i].substr(0, prefix.size()));
        EXPECT_GT(actual[3 + i].size(), prefix.size() + 1) << "empty text in " << actual[3 + i];
    }
}

TEST(Resources, TitleStringAndVersionInformation)
{
    HMODULE module = GetModuleHandleA(nullptr);
    EXPECT_NE(nullptr, FindResourceExA(module, RT_STRING, MAKEINTRESOURCEA(IDS_TITLE / 16 + 1), kUsEnglish));
    char title[64] = "";
    EXPECT_EQ(20, LoadStringA(module, IDS_TITLE, title, sizeof title));
    EXPECT_STREQ("Zorvane Screen Saver", title);

    char path[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(module, path, sizeof path));
    const DWORD size = GetFileVersionInfoSizeA(path, nullptr);
    ASSERT_NE(0u, size) << "no version information";
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(MAKELONG(ZORVANE_VERSION_MINOR, ZORVANE_VERSION_MAJOR), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(ZORVANE_VERSION_MINOR, ZORVANE_VERSION_MAJOR), fixed->dwProductVersionMS);
    char* description = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\FileDescription",
                               reinterpret_cast<void**>(&description), &length));
    EXPECT_STREQ("Zorvane Screen Saver", description);
}

// What the loader made of the embedded manifest: the process's default
// activation context carries the DPI settings and depends on no other
// assembly (no side-by-side Common Controls).
TEST(Resources, ManifestDeclaresDpiAwarenessAndNoDependencies)
{
    ASSERT_NE(nullptr, FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), RT_MANIFEST));
    WCHAR value[64] = L"";
    SIZE_T length = 0;
    ASSERT_TRUE(QueryActCtxSettingsW(0, nullptr, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                                     L"dpiAwareness", value, 64, &length))
        << "the manifest was not read: " << GetLastError();
    EXPECT_STREQ(L"PerMonitorV2, PerMonitor", value);
    ASSERT_TRUE(QueryActCtxSettingsW(0, nullptr, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                                     L"dpiAware", value, 64, &length));
    EXPECT_STREQ(L"true/pm", value);

    union {
        ACTIVATION_CONTEXT_DETAILED_INFORMATION info;
        char bytes[4096];
    } details;
    ASSERT_TRUE(QueryActCtxW(0, nullptr, nullptr, ActivationContextDetailedInformation, &details, sizeof details,
                             nullptr));
    EXPECT_EQ(1u, details.info.ulAssemblyCount) << "the manifest names dependent assemblies";
}

}  // namespace
