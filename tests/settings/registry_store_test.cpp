// The registry store against the real registry: first run, values of other
// sizes and types, extreme numbers, and the save / load round trip.
#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/settings/registry_helpers.h"

namespace {

// Distinct numbers per field, so a value read into the wrong field shows.
const SaverSettingsRecord kDistinct = {11, 22, 33, 44, 55, 66};

class RegistryStore : public ::testing::Test {
protected:
    SaverSettingsRecord settings = DefaultSettings;  // the record loaded and saved
    void SetUp() override
    {
        DeleteSettingsKey();
    }
    void TearDown() override { DeleteSettingsKey(); }
};

TEST_F(RegistryStore, FirstLoadCreatesTheKeyWithClassAndDefaults)
{
    EXPECT_EQ(1, LoadSettings(&settings));
    EXPECT_EQ("REG_DATA", SettingsKeyClass());
    EXPECT_EQ("EnableRotation=1 EnableContinuous=1 BlankScreen=0 NumberPoints=10000 CLSTimer=1000 AnimationTimer=200",
              DescribeStoredRecord());
    EXPECT_EQ("EnableRotation=1 EnableContinuous=1 BlankScreen=0 NumberPoints=10000 CLSTimer=1000 AnimationTimer=200",
              DescribeRecord(settings));

    // A second load finds the key and changes nothing.
    EXPECT_EQ(1, LoadSettings(&settings));
    EXPECT_EQ(DescribeRecord(settings), DescribeStoredRecord());
}

TEST_F(RegistryStore, LoadWithoutKeyWritesTheRecordAsItStands)
{
    settings = kDistinct;
    EXPECT_EQ(1, LoadSettings(&settings));
    EXPECT_EQ(DescribeRecord(kDistinct), DescribeStoredRecord());
    EXPECT_EQ(DescribeRecord(kDistinct), DescribeRecord(settings));
}

TEST_F(RegistryStore, OnlyValuesOfExactlyFourBytesLoadWhateverTheirType)
{
    const unsigned char three[3] = {1, 2, 3};
    const unsigned char five[5] = {1, 2, 3, 4, 5};
    const unsigned char binary[4] = {0x78, 0x56, 0x34, 0x12};
    const unsigned char bigEndian[4] = {0x00, 0x00, 0x00, 0xC8};
    PutValue("EnableRotation", REG_BINARY, three, 3);
    PutValue("EnableContinuous", REG_BINARY, five, 5);
    // BlankScreen is missing.
    PutValue("NumberPoints", REG_SZ, "abc", 4);  // three characters and the terminator
    PutValue("CLSTimer", REG_BINARY, binary, 4);
    PutValue("AnimationTimer", REG_DWORD_BIG_ENDIAN, bigEndian, 4);

    // Fields that must keep every byte: a query that fails or returns a
    // short value may still have written into the buffer it was given.
    settings = {0xA1A2A3A4u, 0xB1B2B3B4u, 0xC1C2C3C4u, 7, 7, 7};
    EXPECT_EQ(1, LoadSettings(&settings));
    EXPECT_EQ(0xA1A2A3A4u, settings.EnableRotation);
    EXPECT_EQ(0xB1B2B3B4u, settings.EnableContinuous);
    EXPECT_EQ(0xC1C2C3C4u, settings.BlankScreen);
    EXPECT_EQ(0x00636261u, settings.NumberPoints);  // "abc\0", little-endian
    EXPECT_EQ(0x12345678u, settings.CLSTimer);
    EXPECT_EQ(0xC8000000u, settings.AnimationTimer);  // bytes taken little-endian regardless of type

    // Loading writes nothing back.
    EXPECT_EQ("(missing)", DescribeValue("BlankScreen"));
    EXPECT_EQ("type 3, 3 bytes", DescribeValue("EnableRotation"));
}

TEST_F(RegistryStore, StringsOfOtherLengthsAndWiderNumbersAreIgnored)
{
    const unsigned long long wide = 5;
    PutValue("EnableRotation", REG_SZ, "ab", 3);
    PutValue("EnableContinuous", REG_SZ, "abcd", 5);
    PutValue("BlankScreen", REG_SZ, "", 1);
    PutValue("NumberPoints", REG_QWORD, &wide, 8);
    PutValue("CLSTimer", REG_DWORD, nullptr, 0);
    PutDword("AnimationTimer", 250);

    settings = kDistinct;
    EXPECT_EQ(1, LoadSettings(&settings));
    SaverSettingsRecord expected = kDistinct;
    expected.AnimationTimer = 250;  // the one well-formed value still loads
    EXPECT_EQ(DescribeRecord(expected), DescribeRecord(settings));
}

TEST_F(RegistryStore, ZeroAndAllOnesLoadUnchanged)
{
    PutRecord({0, 4294967295u, 0, 0, 4294967295u, 0});
    EXPECT_EQ(1, LoadSettings(&settings));
    EXPECT_EQ("EnableRotation=0 EnableContinuous=4294967295 BlankScreen=0 NumberPoints=0 CLSTimer=4294967295 "
              "AnimationTimer=0",
              DescribeRecord(settings));

    PutRecord({4294967295u, 0, 4294967295u, 4294967295u, 0, 4294967295u});
    EXPECT_EQ(1, LoadSettings(&settings));
    EXPECT_EQ("EnableRotation=4294967295 EnableContinuous=0 BlankScreen=4294967295 NumberPoints=4294967295 "
              "CLSTimer=0 AnimationTimer=4294967295",
              DescribeRecord(settings));
}

TEST_F(RegistryStore, SaveThenLoadRoundTripsEveryField)
{
    // An existing value of another type is replaced by a REG_DWORD.
    PutValue("NumberPoints", REG_SZ, "abc", 4);
    settings = kDistinct;
    EXPECT_EQ(1, SaveSettings(&settings));
    EXPECT_EQ(DescribeRecord(kDistinct), DescribeStoredRecord());

    settings = DefaultSettings;
    EXPECT_EQ(1, LoadSettings(&settings));
    EXPECT_EQ(DescribeRecord(kDistinct), DescribeRecord(settings));

    const SaverSettingsRecord extremes = {0, 4294967295u, 2147483648u, 4294967295u, 0, 1};
    settings = extremes;
    EXPECT_EQ(1, SaveSettings(&settings));
    settings = DefaultSettings;
    EXPECT_EQ(1, LoadSettings(&settings));
    EXPECT_EQ(DescribeRecord(extremes), DescribeRecord(settings));
}

}  // namespace
