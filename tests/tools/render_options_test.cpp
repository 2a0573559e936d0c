// zorvane-render's command line: defaults, limits and the one-line errors.
#include <gtest/gtest.h>

#include <vector>

#include "tools/render/render_options.h"

namespace {

int Parse(std::vector<const char*> args, RenderOptions* o, std::string* error)
{
    args.insert(args.begin(), "zorvane-render");
    return ParseRenderOptions(static_cast<int>(args.size()), args.data(), 1234, o, error);
}

TEST(RenderOptions, DefaultsMatchTheSaver)
{
    RenderOptions o;
    std::string error;
    ASSERT_EQ(0, Parse({"--out", "x.png"}, &o, &error)) << error;
    EXPECT_EQ(1234u, o.seed);  // the current time
    EXPECT_EQ(1024, o.width);
    EXPECT_EQ(768, o.height);
    EXPECT_EQ(10000u, o.settings.NumberPoints);
    EXPECT_EQ(200u, o.settings.AnimationTimer);
    EXPECT_EQ(1000u, o.settings.CLSTimer);
    EXPECT_EQ(0u, o.settings.BlankScreen);
    EXPECT_EQ(1u, o.settings.EnableRotation);
    EXPECT_EQ(1u, o.settings.EnableContinuous);
    EXPECT_FALSE(o.byTime);
    EXPECT_EQ(1u, o.frames);
}

TEST(RenderOptions, AcceptsTheWholeUnsignedRange)
{
    RenderOptions o;
    std::string error;
    ASSERT_EQ(0, Parse({"--seed", "4294967295", "--points", "0", "--time-ms", "5000", "--frames-dir", "d", "--width", "16384",
                        "--height", "1"},
                       &o, &error))
        << error;
    EXPECT_EQ(4294967295u, o.seed);
    EXPECT_EQ(0u, o.settings.NumberPoints);
    EXPECT_TRUE(o.byTime);
    EXPECT_EQ(5000u, o.timeMs);
    EXPECT_EQ("d", o.framesDir);
    EXPECT_EQ(16384, o.width);
}

TEST(RenderOptions, BadValuesNameTheOption)
{
    const struct {
        std::vector<const char*> args;
        const char* option;
    } cases[] = {
        {{"--seed", "abc", "--out", "x"}, "--seed"},
        {{"--seed", "4294967296", "--out", "x"}, "--seed"},
        {{"--seed", "-1", "--out", "x"}, "--seed"},
        {{"--points", "", "--out", "x"}, "--points"},
        {{"--points", "12 ", "--out", "x"}, "--points"},
        {{"--width", "0", "--out", "x"}, "--width"},
        {{"--height", "0", "--out", "x"}, "--height"},
        {{"--width", "16385", "--out", "x"}, "--width"},
        {{"--blank", "2", "--out", "x"}, "--blank"},
        {{"--out"}, "--out"},
        {{"--out", ""}, "--out"},
        {{"--out", "x", "--frames"}, "--frames"},
        {{"--frames", "2", "--time-ms", "10", "--out", "x"}, "--time-ms"},
        {{"--bogus", "1", "--out", "x"}, "--bogus"},
        {{"--seed", "1"}, "--out"},
    };
    for (const auto& c : cases) {
        RenderOptions o;
        std::string error;
        EXPECT_EQ(2, Parse(c.args, &o, &error)) << c.option;
        EXPECT_EQ(0u, error.find(c.option)) << error;
        EXPECT_EQ(std::string::npos, error.find('\n')) << error;
    }
}

}  // namespace
