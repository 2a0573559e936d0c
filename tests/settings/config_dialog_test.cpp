// The configuration dialog and the About box, run modally and driven from
// inside their message loops: what the fields show, what OK stores, that
// every way of cancelling stores nothing, and that only OK closes About.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "settings/dialogs_win32.h"
#include "settings/settings.h"
#include "tests/settings/dialog_driver.h"
#include "tests/settings/registry_helpers.h"

namespace {

const SaverSettingsRecord kStored = {1, 1, 0, 5000, 3000, 100};

class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }
};

TEST_F(ConfigDialog, ShowsTheStoredValuesAndOkSavesThemBack)
{
    PutRecord({7, 0, 1, 4294967295u, 1500, 2147483648u});
    const INT_PTR result = RunDialog(IDD_CONFIG, ConfigDialogProc, {
        [] {
            HWND d = ConfigWindow();
            ASSERT_NE(nullptr, d);
            EXPECT_EQ("-1", ControlText(d, IDC_POINTS));               // above 2^31 - 1 shows negative
            EXPECT_EQ("1", ControlText(d, IDC_CLEAR_SECS));            // 1500 ms in whole seconds
            EXPECT_EQ("-2147483648", ControlText(d, IDC_FRAME_MS));
            EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(d, IDC_ROTATE));  // a stored 7 is set
            EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(d, IDC_CONTINUOUS));
            EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(d, IDC_BLANK));
            EXPECT_EQ(GetDlgItem(d, IDOK), GetFocus());                // the first tab stop
        },
        [] { Click(ConfigWindow(), IDOK); },
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ("EnableRotation=1 EnableContinuous=0 BlankScreen=1 NumberPoints=4294967295 CLSTimer=1000 "
              "AnimationTimer=2147483648",
              DescribeStoredRecord());
}

TEST_F(ConfigDialog, OkStoresTheTypedTextByTheParseRule)
{
    struct Case {
        std::string points, seconds, frameMs;
        const char* stored;
    };
    const Case cases[] = {
        {"-1", "2.5", " 42x",
         "NumberPoints=4294967295 CLSTimer=2000 AnimationTimer=42"},
        {"4294967296", "4294968", "abc",
         "NumberPoints=0 CLSTimer=704 AnimationTimer=0"},
        {"+-1", "\t7", "", "NumberPoints=0 CLSTimer=7000 AnimationTimer=0"},
        // Only the first 255 characters are read: the 5 after 255 zeros is not.
        {std::string(255, '0') + "5", "0", "2147483648",
         "NumberPoints=0 CLSTimer=0 AnimationTimer=2147483648"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        PutRecord(kStored);
        const INT_PTR result = RunDialog(IDD_CONFIG, ConfigDialogProc, {
            [&c] {
                HWND d = ConfigWindow();
                ASSERT_NE(nullptr, d);
                SetDlgItemTextA(d, IDC_POINTS, c.points.c_str());
                SetDlgItemTextA(d, IDC_CLEAR_SECS, c.seconds.c_str());
                SetDlgItemTextA(d, IDC_FRAME_MS, c.frameMs.c_str());
                Click(d, IDC_ROTATE);  // 1 -> 0
                Click(d, IDC_BLANK);   // 0 -> 1
            },
            [] { Click(ConfigWindow(), IDOK); },
        });
        EXPECT_EQ(1, result);
        EXPECT_EQ(std::string("EnableRotation=0 EnableContinuous=1 BlankScreen=1 ") + c.stored,
                  DescribeStoredRecord());
    }
}

TEST_F(ConfigDialog, CancelEscAndTheCloseBoxSaveNothing)
{
    const struct {
        const char* way;
        void (*cancel)(HWND);
    } ways[] = {
        {"Cancel button", [](HWND d) { Click(d, IDCANCEL); }},
        {"Esc", [](HWND d) { PressKey(GetFocus() ? GetFocus() : d, VK_ESCAPE); }},
        {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& w : ways) {
        SCOPED_TRACE(w.way);
        PutRecord(kStored);
        const INT_PTR result = RunDialog(IDD_CONFIG, ConfigDialogProc, {
            [] {
                HWND d = ConfigWindow();
                ASSERT_NE(nullptr, d);
                SetDlgItemTextA(d, IDC_POINTS, "123");
                SetDlgItemTextA(d, IDC_CLEAR_SECS, "9");
                Click(d, IDC_CONTINUOUS);
            },
            [&w] { w.cancel(ConfigWindow()); },
        });
        EXPECT_EQ(0, result);
        EXPECT_EQ(DescribeRecord(kStored), DescribeStoredRecord());
    }
}

TEST_F(ConfigDialog, CommandsWithANotificationCodeAreIgnored)
{
    PutRecord(kStored);
    const INT_PTR result = RunDialog(IDD_CONFIG, ConfigDialogProc, {
        [] {
            HWND d = ConfigWindow();
            ASSERT_NE(nullptr, d);
            SetDlgItemTextA(d, IDC_POINTS, "123");
            const WPARAM doubleClick[] = {MAKEWPARAM(IDOK, BN_DOUBLECLICKED), MAKEWPARAM(IDCANCEL, BN_DOUBLECLICKED),
                                          MAKEWPARAM(IDC_ABOUT, BN_DOUBLECLICKED)};
            for (WPARAM command : doubleClick)
                SendMessageA(d, WM_COMMAND, command, reinterpret_cast<LPARAM>(GetDlgItem(d, LOWORD(command))));
        },
        [] {
            EXPECT_NE(nullptr, ConfigWindow()) << "the dialog ended";
            EXPECT_EQ(nullptr, AboutWindow()) << "About opened";
            EXPECT_EQ(DescribeRecord(kStored), DescribeStoredRecord()) << "settings were saved";
            Click(ConfigWindow(), IDCANCEL);
        },
    });
    EXPECT_EQ(0, result);
}

TEST_F(ConfigDialog, AboutOpensOwnedByTheDialogAndOnlyItsOkClosesIt)
{
    PutRecord(kStored);
    const INT_PTR result = RunDialog(IDD_CONFIG, ConfigDialogProc, {
        [] { PostClick(ConfigWindow(), IDC_ABOUT); },
        [] {
            HWND about = AboutWindow();
            ASSERT_NE(nullptr, about) << "About did not open";
            EXPECT_EQ(ConfigWindow(), GetWindow(about, GW_OWNER));
            EXPECT_FALSE(IsWindowEnabled(ConfigWindow())) << "About is not modal";
            EXPECT_EQ(0, GetWindowTextLengthA(about));
            EXPECT_EQ(0, GetWindowLongA(about, GWL_STYLE) & WS_CAPTION);
            PressKey(about, VK_ESCAPE);
        },
        [] {
            HWND about = AboutWindow();
            ASSERT_NE(nullptr, about) << "Esc closed About";
            SendMessageA(about, WM_COMMAND, IDCANCEL, 0);
            SendMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_DOUBLECLICKED), 0);
        },
        [] {
            HWND about = AboutWindow();
            ASSERT_NE(nullptr, about) << "a command other than OK closed About";
            Click(about, IDOK);
        },
        [] {
            EXPECT_EQ(nullptr, AboutWindow());
            ASSERT_NE(nullptr, ConfigWindow());
            EXPECT_TRUE(IsWindowEnabled(ConfigWindow()));
            Click(ConfigWindow(), IDCANCEL);
        },
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ(DescribeRecord(kStored), DescribeStoredRecord());
}

}  // namespace
