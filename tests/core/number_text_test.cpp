#include "core/number_text.h"

#include <clocale>
#include <cmath>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "core/errors.h"

namespace coordconv {
namespace {

using Fields = std::vector<std::string>;

TEST(SplitFields, LeftToRightWithMissingFieldsEmpty) {
    EXPECT_EQ(SplitFields("12,3", 4), (Fields{"12", "3", "", ""}));
    EXPECT_EQ(SplitFields("", 3), (Fields{"", "", ""}));
    EXPECT_EQ(SplitFields("a,,b", 3), (Fields{"a", "", "b"}));
    EXPECT_EQ(SplitFields("a,b,", 2), (Fields{"a", "b"}));
    EXPECT_EQ(SplitFields("a,b,c,d", 3), (Fields{"a", "b", "c"}));
    // Only the ASCII comma separates; blanks are kept.
    EXPECT_EQ(SplitFields(" a ，b", 2), (Fields{" a ，b", ""}));
}

TEST(TextToNumber, ReadsDecimalsAndBlankAsZero) {
    EXPECT_EQ(TextToNumber(""), 0.0L);
    EXPECT_EQ(TextToNumber(" \t "), 0.0L);
    EXPECT_EQ(TextToNumber(" 12.5 "), 12.5L);
    EXPECT_EQ(TextToNumber("1e3"), 1000.0L);
    EXPECT_EQ(TextToNumber("-.5"), -0.5L);
    EXPECT_EQ(TextToNumber("+7."), 7.0L);
    EXPECT_EQ(TextToNumber("2E-2"), 0.02L);
    // Straight into 80 bits: 111.3 is not the double 111.3.
    EXPECT_EQ(TextToNumber("111.3"), 111.3L);
    EXPECT_NE(TextToNumber("111.3"), static_cast<long double>(111.3));
}

TEST(TextToNumber, RejectsEverythingElseWithTheOffendingText) {
    for (const char* bad : {"12,5", "abc", "1e", "--1", ".", "1.2.3", "0x10", "inf", "nan", "1e5000", "1 2", "５"}) {
        try {
            TextToNumber(bad);
            ADD_FAILURE() << bad << " was accepted";
        } catch (const CommandError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid floating point value");
        }
    }
}

// A desktop program runs in the user's locale, where the C runtime's decimal
// point may be ",": reading and writing number texts must not follow it.
TEST(NumberTexts, IgnoreTheDecimalCommaOfTheUserLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const char* comma_locale = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            comma_locale = name;
            break;
        }
    }
    if (comma_locale == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(TextToNumber("111.3"), 111.3L);
    EXPECT_EQ(TextToNumber("-0.5e-3"), -0.0005L);
    EXPECT_THROW(TextToNumber("12,5"), CommandError);
    EXPECT_EQ(FormatFixed(1234567.891L, 4), "1234567.8910");
    EXPECT_EQ(FormatFixedByDigits(1234567.891L, 4), "1234567.8910");
    EXPECT_EQ(FormatFixedByDigits(0.000123456789L, 9), "0.000123457");
    EXPECT_EQ(FormatGeneral(2.5E-7L), "2.5E-7");
    EXPECT_EQ(FormatDms(30.5043L, 2), "30°30′15.48″");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(FormatFixed, RoundsHalfAwayAndKeepsTheSign) {
    EXPECT_EQ(FormatFixed(2.5L, 0), "3");
    EXPECT_EQ(FormatFixed(-2.5L, 0), "-3");
    EXPECT_EQ(FormatFixed(0.125L, 2), "0.13");
    EXPECT_EQ(FormatFixed(-0.00001L, 4), "-0.0000");
    EXPECT_EQ(FormatFixed(1234567.891L, 4), "1234567.8910");
    EXPECT_EQ(FormatFixed(9.99996L, 4), "10.0000");
    EXPECT_EQ(FormatFixed(3.0L, 4), "3.0000");
    EXPECT_EQ(FormatFixed(0.0L, 4), "0.0000");
    EXPECT_EQ(FormatFixed(-0.0L, 4), "0.0000");
    EXPECT_EQ(FormatFixed(30.3015L, 16), "30.3015000000000000");
    EXPECT_EQ(FormatFixed(1e20L, 2), "100000000000000000000.00");
    EXPECT_EQ(FormatFixed(1e-30L, 4), "0.0000");
}

// The exact integer route and the literal digit-string route must give the
// same bytes: on the edges of both roundings and on a million random values
// spread over the magnitudes the tools write.
TEST(FormatFixed, FastRouteMatchesTheLiteralRoute) {
    const long double edges[] = {0.5L,        0.49999999999999999999L, 1.0L,       0.99999999999999999L,
                                 9.99995L,    999999.99995L,           1e17L,      99999999999999999.5L,
                                 1e18L,       1e-17L,                  5e-18L,     4.9999999999999e-18L,
                                 0.00005L,    123456789012345678.0L,   0.30000000000000000001L,
                                 3376500.17355L, 144006.49425L,       1.0000000000000000005L};
    for (const long double v : edges)
        for (int decimals : {0, 1, 4, 6, 10, 16, 17, 18})
            for (const long double s : {v, -v})
                ASSERT_EQ(FormatFixed(s, decimals), FormatFixedByDigits(s, decimals)) << static_cast<double>(s);

    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> exponent(-6, 18);
    std::uniform_int_distribution<std::uint64_t> bits;
    const int decimals_choice[] = {4, 10, 16, 6, 0};
    for (int i = 0; i < 1000000; ++i) {
        long double v = std::pow(10.0L, static_cast<long double>(exponent(random)));
        // Randomise the low bits of the significand as well.
        v *= 1 + static_cast<long double>(bits(random) >> 11) * 0x1p-64L;
        if (i & 1) v = -v;
        const int decimals = decimals_choice[i % 5];
        ASSERT_EQ(FormatFixed(v, decimals), FormatFixedByDigits(v, decimals)) << static_cast<double>(v);
    }
}

TEST(FormatGeneral, GeneralFormatWithFifteenDigits) {
    EXPECT_EQ(FormatGeneral(0.5L), "0.5");
    EXPECT_EQ(FormatGeneral(2.0L), "2");
    EXPECT_EQ(FormatGeneral(123456.789L), "123456.789");
    EXPECT_EQ(FormatGeneral(0.0001L), "0.0001");
    // Scale differences of 10-100 ppm, common for local datums, lie between
    // the bounds: the exponent form starts below 0.0001, not below 1E-5.
    EXPECT_EQ(FormatGeneral(1.2E-5L), "1.2E-5");
    EXPECT_EQ(FormatGeneral(-9.9E-5L), "-9.9E-5");
    EXPECT_EQ(FormatGeneral(0.00012L), "0.00012");
    EXPECT_EQ(FormatGeneral(999999999999999.0L), "999999999999999");
    EXPECT_EQ(FormatGeneral(0.0000015L), "1.5E-6");
    EXPECT_EQ(FormatGeneral(2.5E-6L), "2.5E-6");
    EXPECT_EQ(FormatGeneral(1E15L), "1E15");
    EXPECT_EQ(FormatGeneral(1.0L / 3), "0.333333333333333");
    EXPECT_EQ(FormatGeneral(0.0L), "0");
    EXPECT_EQ(FormatGeneral(-12.25L), "-12.25");
    EXPECT_EQ(FormatGeneral(999999999999999.9L), "1E15");
    EXPECT_EQ(FormatGeneral(-3.2e-9L), "-3.2E-9");
    EXPECT_EQ(FormatGeneral(123456789012345678.0L), "1.23456789012346E17");
}

TEST(PackedAngles, DmsToDegreesReadsTheDigitFields) {
    EXPECT_NEAR(static_cast<double>(DmsToDegrees(30.3015L)), 30.5041666666666667, 1e-15);
    EXPECT_EQ(DmsToDegrees(-120.3L), -120.5L);
    EXPECT_EQ(DmsToDegrees(0.0L), 0.0L);
    EXPECT_NEAR(static_cast<double>(DmsToDegrees(120.5L)), 120.8333333333333, 1e-12);
    EXPECT_EQ(DmsToDegrees(30.75L), 31.25L);  // minutes are not range-checked
    EXPECT_EQ(DmsToDegrees(TextToNumber("111.3")), 111.5L);
}

TEST(PackedAngles, DegreesToDmsTruncatesWithoutCarry) {
    EXPECT_EQ(DegreesToDms(-0.5L), -0.3L);
    EXPECT_EQ(DegreesToDms(0.0L), 0.0L);
    EXPECT_EQ(FormatFixed(DegreesToDms(30.5L), 10), "30.3000000000");
    const long double hair_below = DegreesToDms(30.4999999999999L);
    EXPECT_EQ(FormatFixed(hair_below, 10), "30.2960000000");
    EXPECT_NEAR(static_cast<double>(DmsToDegrees(TextToNumber(FormatFixed(hair_below, 10)))), 30.5, 1e-15);
}

TEST(PackedAngles, FormatDmsCarriesSixtySeconds) {
    EXPECT_EQ(FormatDms(30.5L, 0), "30°30′00″");
    EXPECT_EQ(FormatDms(120.25L, 2), "120°15′00.00″");
    EXPECT_EQ(FormatDms(30.504236111L, 2), "30°30′15.25″");
    EXPECT_EQ(FormatDms(30.99999999L, 0), "31°00′00″");
    EXPECT_EQ(FormatDms(-30.5L, 0), "-30°30′00″");
    EXPECT_EQ(FormatDms(-30.99999999L, 0), "-31°00′00″");
    EXPECT_EQ(FormatDms(0.5L, 0), "0°30′00″");
    EXPECT_EQ(FormatDms(10.0166666666L, 0), "10°01′00″");
}

// Reading the packed digits straight from the text must give the very long
// double of the literal route (text -> real -> 16-decimal text -> fields).
TEST(PackedAngles, TextRouteMatchesTheLiteralRoute) {
    const auto same = [](const std::string& text) {
        const long double fast = DmsTextToDegrees(text);
        const long double literal = DmsToDegrees(TextToNumber(text));
        return std::memcmp(&fast, &literal, 10) == 0;
    };
    for (const char* text : {"0", "-0", "", "  30.3015 ", "120.05", "120.5", "-33.3", "30.301525", "0.0000001",
                             "179.5959999999999", "12345678901234567.8", "1234567890123456789", "0.12345678901234567",
                             "30.75", "1e2", "+.3", "007.30", "-0.000", "89.595999999999999", "1.2345678901234567"})
        EXPECT_TRUE(same(text)) << text;

    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> length(1, 19);
    std::uniform_int_distribution<int> digit(0, 9);
    for (int i = 0; i < 1000000; ++i) {
        std::string text = (i % 3 == 0) ? "-" : "";
        const int integer_digits = length(random) % 4;
        for (int k = 0; k < integer_digits; ++k) text.push_back(static_cast<char>('0' + digit(random)));
        text.push_back('.');
        const int decimals = length(random) % 17;
        for (int k = 0; k < decimals; ++k) text.push_back(static_cast<char>('0' + digit(random)));
        if (integer_digits + decimals == 0) text += "0";
        ASSERT_TRUE(same(text)) << text;
    }
}

TEST(ErrorBoxText, AddsAFullStopUnlessAlreadyEnded) {
    EXPECT_EQ(ErrorBoxText("File not found"), "File not found.");
    EXPECT_EQ(ErrorBoxText("Done."), "Done.");
    EXPECT_EQ(ErrorBoxText("Stop!"), "Stop!");
    EXPECT_EQ(ErrorBoxText("trailing blank "), "trailing blank ");
    EXPECT_EQ(ErrorBoxText("AutoCAD尚未打开！"), "AutoCAD尚未打开！.");
}

}  // namespace
}  // namespace coordconv
