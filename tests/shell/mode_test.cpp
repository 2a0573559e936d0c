// ParseSaverMode: which switch word decides, how a word ends, and the
// treatment of characters outside printable ASCII.
#include <gtest/gtest.h>

#include "shell/mode.h"

namespace {

struct ModeCase {
    const char* text;
    SaverMode mode;
};

void ExpectModes(const ModeCase* cases, size_t count)
{
    for (size_t i = 0; i < count; i++) {
        SCOPED_TRACE(::testing::Message() << "text \"" << cases[i].text << "\"");
        EXPECT_EQ(cases[i].mode, ParseSaverMode(cases[i].text));
    }
}

constexpr SaverMode kRun = SaverMode::Run;
constexpr SaverMode kConfigure = SaverMode::Configure;

TEST(SaverMode, SwitchesThatRunOrConfigure)
{
    const ModeCase cases[] = {
        {"/s", kRun},         {"-S", kRun},          {"/xs", kRun},
        {"/S", kRun},         {"-s", kRun},          {"  \t/s", kRun},
        {"/c", kConfigure},   {"/c:1234", kConfigure}, {"/cs", kConfigure},
        {"/C", kConfigure},   {"-c", kConfigure},    {"/sc", kRun},
        {"/p 1234", kConfigure}, {"", kConfigure},   {"/", kConfigure},
        {"-", kConfigure},    {"/p", kConfigure},    {"/1234", kConfigure},
    };
    ExpectModes(cases, sizeof cases / sizeof cases[0]);
    EXPECT_EQ(kConfigure, ParseSaverMode(nullptr));
}

TEST(SaverMode, OnlyLettersInsideASwitchWordCount)
{
    const ModeCase cases[] = {
        {"a-b s", kConfigure},  // the s stands outside any word
        {"s", kConfigure},      {"S c", kConfigure},   {"sss", kConfigure},
        {"c/s", kRun},          {"s-c", kConfigure},   {"x:s/s", kRun},
        {"-/s", kRun},          {"/-c", kConfigure},   // a second '-' or '/' continues the word
        {"/x-s", kRun},         {"/p!s", kRun},        {"/p~s", kRun},  // punctuation up to 0x7E continues
        {"/p:9/s", kRun},
    };
    ExpectModes(cases, sizeof cases / sizeof cases[0]);
}

TEST(SaverMode, FirstDecidingWordWins)
{
    const ModeCase cases[] = {
        {"/p 1234 /s", kRun},     // a word without S or C decides nothing
        {"/x /c /s", kConfigure}, {"/x /s /c", kRun},
        {"/a /b /d /S", kRun},    {"-p\t-c", kConfigure},
    };
    ExpectModes(cases, sizeof cases / sizeof cases[0]);
}

TEST(SaverMode, WhiteSpaceAndControlCharactersEndAWord)
{
    const ModeCase cases[] = {
        {"/p s", kConfigure},     {"/p\ts", kConfigure},    {"/p\ns", kConfigure},
        {"/p\rs", kConfigure},    {"/p\vs", kConfigure},    {"/p\fs", kConfigure},
        {"/p\x01s", kConfigure},  {"/p\x1Fs", kConfigure},  {"/p\x7Fs", kConfigure},
        {"/p\x7F/s", kRun},       // the scan resumes after the character that ended the word
        {"/p\x01-S", kRun},
    };
    ExpectModes(cases, sizeof cases / sizeof cases[0]);
}

// Codes above 0x7E end a switch word whatever the host's locale or the
// signedness of char, and are never mistaken for ASCII with the top bit cut.
TEST(SaverMode, CharactersAbove7EEndAWordAndStartNone)
{
    const ModeCase cases[] = {
        {"/p\x80s", kConfigure},  {"/p\xA0s", kConfigure},  {"/p\xE9s", kConfigure},
        {"/p\xFFs", kConfigure},
        {"/p\xF3", kConfigure},   // 0xF3 is 's' | 0x80
        {"/p\xD3", kConfigure},   // 'S' | 0x80
        {"/\xE3s", kConfigure},   // 'c' | 0x80 ends the word, then a bare s
        {"\xAFs", kConfigure},    // '/' | 0x80 starts no word
        {"\xADs", kConfigure},    // '-' | 0x80
        {"\xE9\xFF/s", kRun},     // skipped between words like any other character
        {"/p\xE9/s", kRun},
    };
    ExpectModes(cases, sizeof cases / sizeof cases[0]);
}

}  // namespace
