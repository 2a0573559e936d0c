// The command-line tail: where the program name ends, the blanks after it,
// the bounded copy into a caller's buffer, and the mode decided on what is kept.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/command_tail.h"
#include "shell/mode.h"

namespace {

struct TailCase {
    const char* line;
    const char* tail;
};

TEST(CommandTail, QuotedProgramNameRunsToTheClosingQuote)
{
    const TailCase cases[] = {
        {"\"C:\\Program Files\\my-saver /s\\zorvane.scr\" /s", "/s"},
        {"\"C:/my -c saver/zorvane.scr\" /c:1234", "/c:1234"},
        {"\"C:\\zorvane.scr\"/p 1234", "/p 1234"},  // no blank needed after the quote
        {"\"C:\\zorvane.scr\"x /s", "x /s"},        // the name ends at the quote
        {"\"\" /s", "/s"},
        {"\"C:\\a b\\zorvane.scr\"", ""},
        {"\"C:\\a b -s", ""},                        // no closing quote: all name
        {"\"C:\\zorvane.scr\" \"/s\"", "\"/s\""},    // only the first quoted part is the name
    };
    for (const TailCase& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_STREQ(c.tail, CommandLineTail(c.line));
    }
}

TEST(CommandTail, UnquotedProgramNameRunsToTheFirstBlank)
{
    const TailCase cases[] = {
        {"C:\\SAVERS\\ZORVANE.SCR /s", "/s"},
        {"C:\\my-saver\\zorvane.scr /p 1234", "/p 1234"},
        {"C:/s/zorvane.scr", ""},
        {"zorvane.scr", ""},
        {"zorvane.scr   ", ""},
        {"zorvane\"x y\".scr /c", "y\".scr /c"},     // a later quote does not open a quoted name
        {"C:\\\xE9t\xE9\\zorvane.scr /s", "/s"},     // codes above 0x7F belong to the name
        {"C:\\z\x7F.scr /s", "/s"},
        {" /s", "/s"},                                // an empty name
        {"", ""},
    };
    for (const TailCase& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_STREQ(c.tail, CommandLineTail(c.line));
    }
    EXPECT_STREQ("", CommandLineTail(nullptr));
}

TEST(CommandTail, EveryCode1To32AfterTheNameIsSkipped)
{
    std::string line = "zorvane.scr";
    for (int c = 1; c <= 32; c++)
        line += static_cast<char>(c);
    line += "/s ";
    EXPECT_STREQ("/s ", CommandLineTail(line.c_str()));

    // Blanks inside the tail, and a DEL or high character after the name, stay.
    EXPECT_STREQ("/p \t 1234 ", CommandLineTail("zorvane.scr \t/p \t 1234 "));
    EXPECT_STREQ("\x7F/s", CommandLineTail("zorvane.scr \x7F/s"));
    EXPECT_STREQ("\xA0/s", CommandLineTail("\"zorvane.scr\"\t\xA0/s"));
    // Control characters end an unquoted name just like a space.
    EXPECT_STREQ("/c", CommandLineTail("zorvane.scr\x01/c"));
}

// '-' and '/' in the program's own path must never reach the mode scan.
TEST(CommandTail, ModeIsDecidedOnTheTailOnly)
{
    char kept[CommandLineSize];
    const struct {
        const char* line;
        SaverMode mode;
    } cases[] = {
        {"C:/s/zorvane.scr", SaverMode::Configure},
        {"\"C:\\Program Files\\x-s\\zorvane.scr\"", SaverMode::Configure},
        {"\"C:\\x -c\\zorvane.scr\" /s", SaverMode::Run},
        {"C:\\-s.scr /c", SaverMode::Configure},
        {"zorvane.scr /S", SaverMode::Run},
        {"zorvane.scr a-b s", SaverMode::Configure},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        KeepCommandLine(kept, CommandLineTail(c.line));
        EXPECT_EQ(c.mode, ParseSaverMode(kept));
    }
}

TEST(CommandTail, KeepCopiesUpTo1023Characters)
{
    char kept[CommandLineSize];
    KeepCommandLine(kept, "/c:1234");
    EXPECT_STREQ("/c:1234", kept);
    KeepCommandLine(kept, "");
    EXPECT_STREQ("", kept);
    KeepCommandLine(kept, "/s");
    KeepCommandLine(kept, nullptr);
    EXPECT_STREQ("", kept);

    for (size_t length : {1022u, 1023u, 1024u, 1025u, 5000u}) {
        SCOPED_TRACE(length);
        std::string tail(length, 'x');
        for (size_t i = 0; i < length; i++)
            tail[i] = static_cast<char>('a' + i % 26);
        KeepCommandLine(kept, tail.c_str());
        const size_t count = length < 1023 ? length : 1023;
        EXPECT_EQ(count, std::strlen(kept));
        EXPECT_EQ(0, std::memcmp(tail.data(), kept, count));
    }
}

TEST(CommandTail, ModeOfALongTailIsDecidedOnWhatIsKept)
{
    char kept[CommandLineSize];
    // The deciding letter as the 1023rd character is kept, as the 1024th it is cut.
    std::string word = "/" + std::string(1021, 'x') + "s";
    KeepCommandLine(kept, word.c_str());
    EXPECT_EQ(SaverMode::Run, ParseSaverMode(kept));
    word.insert(1, "x");
    ASSERT_EQ(SaverMode::Run, ParseSaverMode(word.c_str()));
    KeepCommandLine(kept, word.c_str());
    EXPECT_EQ(SaverMode::Configure, ParseSaverMode(kept));

    // A run switch beyond the cut is lost; a configure switch kept still decides.
    std::string spaced = std::string(1100, ' ') + "/s";
    KeepCommandLine(kept, spaced.c_str());
    EXPECT_EQ(SaverMode::Configure, ParseSaverMode(kept));
    std::string both = "/c" + std::string(1100, ' ') + "/s";
    KeepCommandLine(kept, both.c_str());
    EXPECT_EQ(SaverMode::Configure, ParseSaverMode(kept));
    std::string run = "/s" + std::string(1100, ' ') + "/c";
    KeepCommandLine(kept, run.c_str());
    EXPECT_EQ(SaverMode::Run, ParseSaverMode(kept));

    // Through the whole path: a long command line with a quoted name.
    std::string line = "\"C:\\a b\\zorvane.scr\" " + std::string(1022, 'x') + " /s";
    KeepCommandLine(kept, CommandLineTail(line.c_str()));
    EXPECT_EQ(1023u, std::strlen(kept));
    EXPECT_EQ(SaverMode::Configure, ParseSaverMode(kept));
}

}  // namespace
