// The registry store's platform calls, observed and failed through the
// import table: access rights, read and write orders, the creation
// arguments, flush before close, and the silent failure paths.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "settings/settings.h"
#include "tests/support/import_hook.h"
#include "tests/settings/registry_helpers.h"

namespace {

std::vector<std::string> g_calls;        // one line per observed call
std::string g_failWriteOf;               // RegSetValueExA of this name fails without writing
bool g_failCreate = false;               // RegCreateKeyExA fails without creating

decltype(&RegOpenKeyExA) g_open;
decltype(&RegCreateKeyExA) g_create;
decltype(&RegQueryValueExA) g_query;
decltype(&RegSetValueExA) g_set;
decltype(&RegFlushKey) g_flush;
decltype(&RegCloseKey) g_close;

std::string AccessName(REGSAM access)
{
    if (access == KEY_READ)
        return "KEY_READ";
    if (access == KEY_WRITE)
        return "KEY_WRITE";
    return "access " + std::to_string(access);
}

LONG WINAPI OpenHook(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key)
{
    const LONG rc = g_open(root, path, options, access, key);
    g_calls.push_back("open " + std::string(path) + " " + AccessName(access) + (rc == ERROR_SUCCESS ? "" : " fails"));
    return rc;
}

LONG WINAPI CreateHook(HKEY root, LPCSTR path, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                       LPSECURITY_ATTRIBUTES sa, PHKEY key, LPDWORD disposition)
{
    std::string line = "create " + std::string(path) + " class " + (keyClass ? keyClass : "(null)") +
                        (options == REG_OPTION_NON_VOLATILE ? " non-volatile " : " options ") + AccessName(access);
    if (sa == nullptr)
        line += " no attributes";
    else
        line += std::string(sa->nLength == sizeof *sa ? "" : " bad length") +
                (sa->lpSecurityDescriptor ? " descriptor" : " no descriptor") +
                (sa->bInheritHandle ? " inheritable" : " not inheritable");
    g_calls.push_back(line + (root == HKEY_CURRENT_USER ? "" : " not under HKEY_CURRENT_USER"));
    if (g_failCreate)
        return ERROR_ACCESS_DENIED;
    return g_create(root, path, reserved, keyClass, options, access, sa, key, disposition);
}

LONG WINAPI QueryHook(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    g_calls.push_back("query " + std::string(name) + " size " + std::to_string(size ? *size : 0));
    return g_query(key, name, reserved, type, data, size);
}

LONG WINAPI SetHook(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    g_calls.push_back("set " + std::string(name) + (type == REG_DWORD ? " REG_DWORD " : " type ") +
                      std::to_string(size));
    if (name == g_failWriteOf)
        return ERROR_ACCESS_DENIED;
    return g_set(key, name, reserved, type, data, size);
}

LONG WINAPI FlushHook(HKEY key)
{
    g_calls.push_back("flush");
    return g_flush(key);
}

LONG WINAPI CloseHook(HKEY key)
{
    g_calls.push_back("close");
    return g_close(key);
}

template <typename F>
void Swap(const char* name, F hook, F* original)
{
    *original = reinterpret_cast<F>(SwapImport("advapi32.dll", name, reinterpret_cast<void*>(hook)));
    ASSERT_NE(nullptr, *original) << name << " is not imported";
}

template <typename F>
void Restore(const char* name, F original)
{
    if (original)
        SwapImport("advapi32.dll", name, reinterpret_cast<void*>(original));
}

class RegistryCalls : public ::testing::Test {
protected:
    SaverSettingsRecord settings = DefaultSettings;  // the record loaded and saved
    void SetUp() override
    {
        DeleteSettingsKey();
        g_calls.clear();
        g_failWriteOf.clear();
        g_failCreate = false;
    }
    void TearDown() override
    {
        Unhook();
        DeleteSettingsKey();
    }
    // Only the calls of the code under test are recorded; the test's own
    // registry helpers run unhooked.
    void Hook()
    {
        Swap("RegOpenKeyExA", &OpenHook, &g_open);
        Swap("RegCreateKeyExA", &CreateHook, &g_create);
        Swap("RegQueryValueExA", &QueryHook, &g_query);
        Swap("RegSetValueExA", &SetHook, &g_set);
        Swap("RegFlushKey", &FlushHook, &g_flush);
        Swap("RegCloseKey", &CloseHook, &g_close);
    }
    void Unhook()
    {
        Restore("RegOpenKeyExA", g_open);
        Restore("RegCreateKeyExA", g_create);
        Restore("RegQueryValueExA", g_query);
        Restore("RegSetValueExA", g_set);
        Restore("RegFlushKey", g_flush);
        Restore("RegCloseKey", g_close);
        g_open = nullptr, g_create = nullptr, g_query = nullptr, g_set = nullptr, g_flush = nullptr, g_close = nullptr;
    }
};

const std::vector<std::string> kWrites = {
    "set EnableContinuous REG_DWORD 4", "set EnableRotation REG_DWORD 4", "set BlankScreen REG_DWORD 4",
    "set NumberPoints REG_DWORD 4",     "set AnimationTimer REG_DWORD 4", "set CLSTimer REG_DWORD 4",
};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(RegistryCalls, LoadReadsInItsOrderAndSaveWritesInAnother)
{
    PutRecord(settings);
    Hook();
    EXPECT_EQ(1, LoadSettings(&settings));
    EXPECT_EQ((std::vector<std::string>{
                  "open Software\\Glimra\\Zorv KEY_READ",
                  "query EnableRotation size 4",
                  "query EnableContinuous size 4",
                  "query BlankScreen size 4",
                  "query NumberPoints size 4",
                  "query CLSTimer size 4",
                  "query AnimationTimer size 4",
                  "close",
              }),
              g_calls);

    g_calls.clear();
    EXPECT_EQ(1, SaveSettings(&settings));
    EXPECT_EQ(Join({"open Software\\Glimra\\Zorv KEY_WRITE"}, Join(kWrites, {"flush", "close"})), g_calls);
}

TEST_F(RegistryCalls, FirstLoadCreatesTheKeyAndQueriesNothing)
{
    Hook();
    EXPECT_EQ(1, LoadSettings(&settings));
    EXPECT_EQ(Join({"open Software\\Glimra\\Zorv KEY_READ fails", "open Software\\Glimra\\Zorv KEY_WRITE fails",
                    "create Software\\Glimra\\Zorv class REG_DATA non-volatile KEY_WRITE no descriptor inheritable"},
                   Join(kWrites, {"flush", "close"})),
              g_calls);
}

TEST_F(RegistryCalls, FailedCreateChangesNothingAndIsReported)
{
    g_failCreate = true;
    Hook();
    settings = {11, 22, 33, 44, 55, 66};
    EXPECT_EQ(0, SaveSettings(&settings));
    EXPECT_EQ(0, LoadSettings(&settings));
    EXPECT_EQ("EnableRotation=11 EnableContinuous=22 BlankScreen=33 NumberPoints=44 CLSTimer=55 AnimationTimer=66",
              DescribeRecord(settings));
    // Neither call wrote anything nor left a key open.
    for (const std::string& call : g_calls)
        EXPECT_TRUE(call.rfind("set ", 0) != 0 && call != "close" && call != "flush") << call;
    Unhook();
    EXPECT_FALSE(SettingsKeyExists());
}

TEST_F(RegistryCalls, FailingWriteDoesNotStopTheOthers)
{
    g_failWriteOf = "BlankScreen";
    Hook();
    settings = {11, 22, 33, 44, 55, 66};
    EXPECT_EQ(1, SaveSettings(&settings));
    EXPECT_EQ(Join({"open Software\\Glimra\\Zorv KEY_WRITE fails",
                    "create Software\\Glimra\\Zorv class REG_DATA non-volatile KEY_WRITE no descriptor inheritable"},
                   Join(kWrites, {"flush", "close"})),
              g_calls);
    Unhook();
    EXPECT_EQ("EnableRotation=11 EnableContinuous=22 BlankScreen=<(missing)> NumberPoints=44 CLSTimer=55 "
              "AnimationTimer=66",
              DescribeStoredRecord());
}

}  // namespace
