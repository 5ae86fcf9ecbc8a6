// Number and angle text: the small set of conversions between the texts that
// users type into cells and boxes and the extended reals the tools compute
// with. All reals are long double (x87 80-bit, 64-bit significand); texts are
// UTF-8 (ASCII for every number).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace coordconv {

// Splits a comma-separated line into exactly `count` fields, left to right.
// A field without a following comma takes the rest of the line and the later
// fields stay empty; text after the count-th field's comma is dropped.
// Fields are not trimmed; only the ASCII comma separates.
std::vector<std::string> SplitFields(std::string_view line, int count);

// Reads a decimal real: optional sign, digits with at most one ".", optional
// exponent; leading and trailing bytes up to and including the blank are
// ignored, and a text that is blank reads as 0. Parsed straight into long
// double (correctly rounded), never through double.
// Throws CommandError "'<text>' is not a valid floating point value".
long double TextToNumber(std::string_view text);

// Fixed-point text with `decimals` decimals: the value is first reduced to 18
// significant digits (values below 1: to 17 decimal places), then rounded at
// the requested decimal, half away from zero. "-" for any negative value, also
// one that rounds to zero. Decimal point ".", no exponent, no grouping.
std::string FormatFixed(long double value, int decimals);

// The same text by the literal digit-string route (exact decimal expansion,
// then two roundings); FormatFixed takes an exact integer route where it can
// and must give identical bytes. Kept as the reference for tests.
std::string FormatFixedByDigits(long double value, int decimals);

// General number format of solved parameters: at most 15 significant digits,
// half away from zero, trailing zeros dropped; fixed notation for magnitudes
// from 0.0001 to below 1E15, otherwise d.dddE[-]x.
std::string FormatGeneral(long double value);

// The shortest decimal text that reads back as the same double: numbers as
// PROJ and other double-precision programs take them ("0.8", "500000",
// "0.0000032", "-12.5"; "1e-12" below 1e-9 and beyond 1e17). Locale-free.
std::string ShortestDoubleText(long double value);

// `text` without the bytes up to and including the blank (controls and
// spaces) at both ends.
std::string_view TrimBlanks(std::string_view text);

// The degree, minute and second fields of the magnitude of a packed angle
// ddd.mmss..., taken from the digits of its 16-decimal text (degrees the
// integer part, minutes the next two decimals, seconds the rest as ss.sss).
// Reading the digits keeps 1.01 at 1°01′, where taking the whole part of
// 100 times the fraction would lose a minute to a binary value a hair below
// its decimal text.
struct PackedAngleFields {
    long double degrees;
    long double minutes;
    long double seconds;
};
PackedAngleFields SplitPackedAngle(long double packed);

// Packed sexagesimal angle (ddd.mmss..., sign on the whole angle) to decimal
// degrees, through its 16-decimal text: degrees + minutes/60 + seconds/3600.
// Minutes and seconds are not range-checked (30.75 reads as 31.25 degrees).
long double DmsToDegrees(long double packed);

// DmsToDegrees(TextToNumber(text)): the same value, read from the digits of
// the text itself where the text is a plain decimal of at most 18 significant
// digits (exact, see the implementation), else by the literal route.
long double DmsTextToDegrees(std::string_view text);

// Decimal degrees to the packed form D + trunc(M)/100 + S/10000 with
// M = frac(d)*60 and S = frac(M)*60; no rounding and no carry of 60.
long double DegreesToDms(long double degrees);

// The cells of a latitude and a longitude written in packed form: each
// DegreesToDms(decimal degrees) with 10 decimals (two of minutes, two of
// seconds, six of the second: 1e-6″, about 0.03 mm). The floating-point
// status is checked first (RaiseFloatingPointErrors), so a fault of the row's
// computation, or of the packing, fails the row before any cell is written.
inline constexpr int kPackedDmsDecimals = 10;
struct PackedDmsCells {
    std::string latitude;
    std::string longitude;
};
PackedDmsCells PackedDmsCellsOf(long double latitude, long double longitude);

// Decimal degrees to text such as 30°30′15.25″ with `second_decimals` (0..6)
// decimals of the second; a rounded 60″ carries into the minutes and degrees.
std::string FormatDms(long double degrees, int second_decimals);

}  // namespace coordconv
