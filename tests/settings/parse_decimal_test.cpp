// The number fields' parse rule: white space, one sign, digits modulo 2^32,
// negation modulo 2^32, and text that holds no number.
#include <gtest/gtest.h>

#include "settings/parse_decimal.h"

namespace {

TEST(ParseDecimal, DigitsStopAtTheFirstNonDigit)
{
    EXPECT_EQ(42u, ParseDecimal("42"));
    EXPECT_EQ(2u, ParseDecimal("2.5"));
    EXPECT_EQ(12u, ParseDecimal("12 34"));
    EXPECT_EQ(7u, ParseDecimal("007"));
    EXPECT_EQ(4294968u, ParseDecimal("4294968"));
    EXPECT_EQ(4294967295u, ParseDecimal("4294967295"));
}

TEST(ParseDecimal, NoDigitsGivesZero)
{
    EXPECT_EQ(0u, ParseDecimal(""));
    EXPECT_EQ(0u, ParseDecimal("abc"));
    EXPECT_EQ(0u, ParseDecimal("-"));
    EXPECT_EQ(0u, ParseDecimal("+"));
    EXPECT_EQ(0u, ParseDecimal("x42"));
    EXPECT_EQ(0u, ParseDecimal(".5"));
    EXPECT_EQ(0u, ParseDecimal("\xb2"));  // a superscript two in Latin-1 is not a digit
}

TEST(ParseDecimal, LeadingWhiteSpaceIsCodes9To13And32)
{
    EXPECT_EQ(42u, ParseDecimal(" 42x"));
    EXPECT_EQ(7u, ParseDecimal("\t\n\v\f\r 7"));
    EXPECT_EQ(0u, ParseDecimal("\b7"));         // code 8 is not white space
    EXPECT_EQ(0u, ParseDecimal("\x0e" "7"));    // nor is 14
    EXPECT_EQ(0u, ParseDecimal("\xa0" "7"));    // nor a no-break space
    EXPECT_EQ(0u, ParseDecimal("- 1"));         // no white space after the sign
}

TEST(ParseDecimal, OneOptionalSign)
{
    EXPECT_EQ(5u, ParseDecimal("+5"));
    EXPECT_EQ(4294967295u, ParseDecimal("-1"));
    EXPECT_EQ(4294967295u, ParseDecimal(" \t-1"));
    EXPECT_EQ(2147483648u, ParseDecimal("-2147483648"));
    EXPECT_EQ(0u, ParseDecimal("-0"));
    EXPECT_EQ(0u, ParseDecimal("+-1"));
    EXPECT_EQ(0u, ParseDecimal("-+1"));
    EXPECT_EQ(0u, ParseDecimal("--1"));
}

TEST(ParseDecimal, AccumulatesModulo2To32WithoutOverflowDetection)
{
    EXPECT_EQ(0u, ParseDecimal("4294967296"));
    EXPECT_EQ(1u, ParseDecimal("4294967297"));
    EXPECT_EQ(1410065408u, ParseDecimal("10000000000"));  // 10^10 mod 2^32
    EXPECT_EQ(1215752191u, ParseDecimal("99999999999"));
    EXPECT_EQ(4294967295u, ParseDecimal("-4294967297"));  // -(1) after wrapping
    EXPECT_EQ(2147483648u, ParseDecimal("2147483648"));   // past the signed range, no clamp
}

}  // namespace
