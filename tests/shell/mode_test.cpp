// ParseSaverMode: which switch word decides, how a word ends, the
// treatment of characters outside printable ASCII, and the preview's word
// and window number.
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
        {"/x 1234", kConfigure}, {"", kConfigure},   {"/", kConfigure},
        {"-", kConfigure},    {"/x", kConfigure},    {"/1234", kConfigure},
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
        {"/x-s", kRun},         {"/x!s", kRun},        {"/x~s", kRun},  // punctuation up to 0x7E continues
        {"/x:9/s", kRun},
    };
    ExpectModes(cases, sizeof cases / sizeof cases[0]);
}

TEST(SaverMode, FirstDecidingWordWins)
{
    const ModeCase cases[] = {
        {"/x 1234 /s", kRun},     // a word without S or C decides nothing
        {"/x /c /s", kConfigure}, {"/x /s /c", kRun},
        {"/a /b /d /S", kRun},    {"-x\t-c", kConfigure},
    };
    ExpectModes(cases, sizeof cases / sizeof cases[0]);
}

TEST(SaverMode, WhiteSpaceAndControlCharactersEndAWord)
{
    const ModeCase cases[] = {
        {"/x s", kConfigure},     {"/x\ts", kConfigure},    {"/x\ns", kConfigure},
        {"/x\rs", kConfigure},    {"/x\vs", kConfigure},    {"/x\fs", kConfigure},
        {"/x\x01s", kConfigure},  {"/x\x1Fs", kConfigure},  {"/x\x7Fs", kConfigure},
        {"/x\x7F/s", kRun},       // the scan resumes after the character that ended the word
        {"/x\x01-S", kRun},
    };
    ExpectModes(cases, sizeof cases / sizeof cases[0]);
}

// Codes above 0x7E end a switch word whatever the host's locale or the
// signedness of char, and are never mistaken for ASCII with the top bit cut.
TEST(SaverMode, CharactersAbove7EEndAWordAndStartNone)
{
    const ModeCase cases[] = {
        {"/x\x80s", kConfigure},  {"/x\xA0s", kConfigure},  {"/x\xE9s", kConfigure},
        {"/x\xFFs", kConfigure},
        {"/x\xF3", kConfigure},   // 0xF3 is 's' | 0x80
        {"/x\xD3", kConfigure},   // 'S' | 0x80
        {"/\xE3s", kConfigure},   // 'c' | 0x80 ends the word, then a bare s
        {"\xAFs", kConfigure},    // '/' | 0x80 starts no word
        {"\xADs", kConfigure},    // '-' | 0x80
        {"\xE9\xFF/s", kRun},     // skipped between words like any other character
        {"/x\xE9/s", kRun},
    };
    ExpectModes(cases, sizeof cases / sizeof cases[0]);
}

// A first switch word with p or P right after its '-' or '/' asks for a
// preview whatever follows; anywhere else a p decides nothing.
TEST(SaverMode, PreviewIsTheFirstWordsP)
{
    constexpr SaverMode kPreview = SaverMode::Preview;
    const ModeCase cases[] = {
        {"/p 1234", kPreview},  {"/p:1234", kPreview},  {"-P", kPreview},    {"/p", kPreview},
        {"  /p\t5", kPreview}, {"/p /s", kPreview},    {"/ps", kPreview},   {"/pc", kPreview},
        {"a-p s", kPreview},    // a word may start inside other text, as for the S rule
        {"/x /p 1", kConfigure}, {"/x /p /s", kRun},   {"/xp /s", kRun},    {"-/p /s", kRun},
        {"/\xF0 /s", kRun},     // 'p' | 0x80 is no p
    };
    ExpectModes(cases, sizeof cases / sizeof cases[0]);
}

TEST(SaverMode, PreviewWindowNumber)
{
    const struct {
        const char* text;
        uint64_t number;
    } cases[] = {
        {"/p 1234", 1234},   {"/P:1234", 1234},  {"-p\t \t77 /s", 77}, {"/p65536", 65536},
        {"/p 18446744073709551615", 18446744073709551615u},
        {"/p 18446744073709551616", 0},  // beyond 64 bits
        {"/p", 0},           {"/p ", 0},         {"/p:", 0},          {"/p 0", 0},
        {"/p 12a", 0},       {"/p -5", 0},       {"/p: 5", 0},        {"/p 0x10", 0},
        {"/p 12\xE9", 12},  // a code above 0x7E ends the number's word
        {"/s 1234", 0},      {"/c:1234", 0},     {"/x /p 5", 0},      {"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "text \"" << c.text << "\"");
        EXPECT_EQ(c.number, PreviewWindowNumber(c.text));
    }
    EXPECT_EQ(0u, PreviewWindowNumber(nullptr));
}

}  // namespace
