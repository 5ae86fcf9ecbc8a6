#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "core/errors.h"
#include "core/platform.h"

namespace coordconv {
namespace {

bool IsBlankByte(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// True when `text` is [+|-]digits[.digits][(E|e)[+|-]digits] with at least one
// mantissa digit.
bool IsDecimalNumberText(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t mantissa_digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++mantissa_digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++mantissa_digits;
    }
    if (mantissa_digits == 0) return false;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponent_digits = 0;
        while (i < text.size() && IsDigit(text[i])) ++i, ++exponent_digits;
        if (exponent_digits == 0) return false;
    }
    return i == text.size();
}

[[noreturn]] void ThrowNotANumber(std::string_view text) {
    throw CommandError("'" + std::string(text) + "' is not a valid floating point value");
}

// ---------------------------------------------------------------------------
// Decimal digit strings for the literal formatting route.

// value = 0.d1 d2 d3 ... x 10^point (digits are ASCII '0'..'9').
struct DecimalDigits {
    std::string digits;
    int point = 0;
};

// Exact enough decimal expansion of a finite, non-negative value: 72
// significant digits, far more than any rounding below can depend on (an
// 80-bit value lies at least ~1e-40 relative away from any 19-digit tie it is
// not equal to).
DecimalDigits ExpandDecimal(long double magnitude) {
    DecimalDigits out;
    if (magnitude == 0) {
        out.digits = "0";
        out.point = 1;
        return out;
    }
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%.71Le", magnitude);
    const char* p = buffer;
    out.digits.push_back(*p++);
    // The decimal point is the C runtime locale's (a "," in many locales).
    while (*p != '\0' && !IsDigit(*p) && *p != 'e') ++p;
    while (IsDigit(*p)) out.digits.push_back(*p++);
    // *p == 'e'
    out.point = std::atoi(p + 1) + 1;
    return out;
}

// Keeps the first `keep` digits, rounding half up on the magnitude at the
// next digit; the dropped digits become zeros.
void RoundDigits(DecimalDigits& d, long keep) {
    if (keep >= static_cast<long>(d.digits.size())) return;
    if (keep < 0) {
        d.digits.assign(d.digits.size(), '0');
        return;
    }
    const bool round_up = d.digits[keep] >= '5';
    for (std::size_t i = keep; i < d.digits.size(); ++i) d.digits[i] = '0';
    if (!round_up) return;
    long i = keep - 1;
    while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
    if (i >= 0) {
        ++d.digits[i];
    } else {
        d.digits.insert(d.digits.begin(), '1');
        ++d.point;
    }
}

char DigitAt(const DecimalDigits& d, long index) {
    if (index < 0 || index >= static_cast<long>(d.digits.size())) return '0';
    return d.digits[index];
}

std::string NonFiniteText(long double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// ---------------------------------------------------------------------------
// Exact integer route of FormatFixed.

using uint128 = unsigned __int128;

constexpr std::uint64_t kPow10[20] = {1ULL,
                                      10ULL,
                                      100ULL,
                                      1000ULL,
                                      10000ULL,
                                      100000ULL,
                                      1000000ULL,
                                      10000000ULL,
                                      100000000ULL,
                                      1000000000ULL,
                                      10000000000ULL,
                                      100000000000ULL,
                                      1000000000000ULL,
                                      10000000000000ULL,
                                      100000000000000ULL,
                                      1000000000000000ULL,
                                      10000000000000000ULL,
                                      100000000000000000ULL,
                                      1000000000000000000ULL,
                                      10000000000000000000ULL};

uint128 Pow10Wide(int n) {
    uint128 r = 1;
    while (n-- > 0) r *= 10;
    return r;
}

// The first rounding of FormatFixed done exactly in integers: returns false
// when the value lies outside the range handled here. On success the reduced
// value is scaled / 10^scale_decimals.
bool ReduceExactly(long double magnitude, uint128& scaled, int& scale_decimals) {
    if (!(magnitude < 1e18L)) return false;
    // The x87 extended format stores the 64-bit significand with its leading
    // bit and a 15-bit biased exponent: magnitude = mantissa * 2^-shift.
    static_assert(sizeof(long double) >= 10 && std::numeric_limits<long double>::digits == 64);
    std::uint64_t mantissa = 0;
    std::uint16_t biased_exponent = 0;
    std::memcpy(&mantissa, &magnitude, 8);
    std::memcpy(&biased_exponent, reinterpret_cast<const char*>(&magnitude) + 8, 2);
    biased_exponent &= 0x7fff;
    if (biased_exponent == 0) return false;  // denormal: the literal route
    const int shift = 16383 + 63 - biased_exponent;
    if (magnitude >= 1) {
        const auto integer_part = static_cast<std::uint64_t>(magnitude);
        int integer_digits = 1;
        while (integer_digits < 18 && integer_part >= kPow10[integer_digits]) ++integer_digits;
        scale_decimals = 18 - integer_digits;
    } else {
        scale_decimals = 17;
    }
    if (shift <= 0 || shift >= 127) return false;
    const uint128 product = static_cast<uint128>(mantissa) * kPow10[scale_decimals];
    const uint128 quotient = product >> shift;
    const uint128 remainder = product - (quotient << shift);
    const uint128 half = static_cast<uint128>(1) << (shift - 1);
    scaled = remainder >= half ? quotient + 1 : quotient;
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------

std::vector<std::string> SplitFields(std::string_view line, int count) {
    std::vector<std::string> fields(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos) {
            fields[i] = std::string(line);
            break;
        }
        fields[i] = std::string(line.substr(0, comma));
        line.remove_prefix(comma + 1);
    }
    return fields;
}

long double TextToNumber(std::string_view text) {
    const std::string_view trimmed = TrimBlanks(text);
    if (trimmed.empty()) return 0.0L;
    if (!IsDecimalNumberText(trimmed)) ThrowNotANumber(text);
    const std::string copy(trimmed);
    const char* end = nullptr;
    const long double value = ReadDecimalLongDouble(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || std::isinf(value)) ThrowNotANumber(text);
    return value;
}

std::string FormatFixedByDigits(long double value, int decimals) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    const long double magnitude = std::fabs(value);
    DecimalDigits d = ExpandDecimal(magnitude);
    RoundDigits(d, magnitude >= 1 ? 18 : d.point + 17L);
    RoundDigits(d, static_cast<long>(d.point) + decimals);

    std::string out;
    if (value < 0) out.push_back('-');
    bool any_integer_digit = false;
    for (long i = 0; i < d.point; ++i) {
        const char c = DigitAt(d, i);
        if (c == '0' && !any_integer_digit) continue;
        any_integer_digit = true;
        out.push_back(c);
    }
    if (!any_integer_digit) out.push_back('0');
    if (decimals > 0) {
        out.push_back('.');
        for (int i = 0; i < decimals; ++i) out.push_back(DigitAt(d, static_cast<long>(d.point) + i));
    }
    return out;
}

std::string FormatFixed(long double value, int decimals) {
    const long double magnitude = std::fabs(value);
    uint128 scaled = 0;
    int scale_decimals = 0;
    if (decimals < 0 || decimals > 18 || !std::isfinite(value) ||
        (magnitude != 0 && !ReduceExactly(magnitude, scaled, scale_decimals))) {
        return FormatFixedByDigits(value, decimals);
    }
    // Second rounding, half up on the digits, at the requested decimal. The
    // reduced value has at most 19 digits, so 64-bit arithmetic carries it.
    if (scale_decimals > decimals) {
        const std::uint64_t divisor = kPow10[scale_decimals - decimals];
        scaled = (static_cast<std::uint64_t>(scaled) + divisor / 2) / divisor;
    } else {
        scaled *= Pow10Wide(decimals - scale_decimals);
    }
    // Digits are written backwards from the end of a buffer, then copied once.
    char buffer[64];
    char* p = buffer + sizeof buffer;
    const auto put_digits = [&p, decimals](auto v) {
        for (int k = 0; k < decimals; ++k) {
            *--p = static_cast<char>('0' + static_cast<int>(v % 10));
            v /= 10;
        }
        if (decimals > 0) *--p = '.';
        do {
            *--p = static_cast<char>('0' + static_cast<int>(v % 10));
            v /= 10;
        } while (v != 0);
    };
    if (scaled <= UINT64_MAX) {
        put_digits(static_cast<std::uint64_t>(scaled));  // narrow: /10 becomes a multiplication
    } else {
        put_digits(scaled);
    }
    if (value < 0) *--p = '-';
    std::string out(p, static_cast<std::size_t>(buffer + sizeof buffer - p));
    return out;
}

std::string ShortestDoubleText(long double value) {
    // Fixed notation where it stays short ("500000", "0.0000032"), the
    // exponent form beyond.
    char text[400];
    const double number = value == 0 ? 0.0 : static_cast<double>(value);  // no "-0"
    const double magnitude = std::fabs(number);
    const bool fixed = magnitude == 0 || (magnitude >= 1e-9 && magnitude < 1e17);
    const std::to_chars_result end = fixed ? std::to_chars(text, text + sizeof text, number, std::chars_format::fixed)
                                           : std::to_chars(text, text + sizeof text, number);
    return std::string(text, end.ptr);
}

std::string FormatGeneral(long double value) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    if (value == 0) return "0";
    DecimalDigits d = ExpandDecimal(std::fabs(value));
    RoundDigits(d, 15);
    std::string digits = d.digits.substr(0, 15);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int e = d.point;

    std::string out;
    if (value < 0) out.push_back('-');
    if (e >= -3 && e <= 15) {
        if (e <= 0) {
            out += "0";
        } else {
            for (int i = 0; i < e; ++i) out.push_back(i < static_cast<int>(digits.size()) ? digits[i] : '0');
        }
        std::string fraction;
        if (e < 0) fraction.append(-e, '0');
        for (int i = e > 0 ? e : 0; i < static_cast<int>(digits.size()); ++i) fraction.push_back(digits[i]);
        while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
        if (!fraction.empty()) out += "." + fraction;
    } else {
        out.push_back(digits[0]);
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += "E";
        out += std::to_string(e - 1);
    }
    return out;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlankByte(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankByte(text.back())) text.remove_suffix(1);
    return text;
}

PackedAngleFields SplitPackedAngle(long double packed) {
    const std::string text = FormatFixed(std::fabs(packed), 16);
    const std::size_t dot = text.find('.');
    PackedAngleFields fields{};
    fields.degrees = TextToNumber(text.substr(0, dot));
    fields.minutes = TextToNumber(text.substr(dot + 1, 2));
    fields.seconds = TextToNumber(text.substr(dot + 3, 2) + "." + text.substr(dot + 5));
    return fields;
}

long double DmsToDegrees(long double packed) {
    const PackedAngleFields f = SplitPackedAngle(packed);
    const long double result = f.degrees + f.minutes / 60 + f.seconds / 3600;
    return packed < 0 ? -result : result;
}

long double DmsTextToDegrees(std::string_view text) {
    // Exactness of this route: a decimal text of at most 18 significant
    // digits survives the trip text -> long double -> 18-digit text unchanged
    // (10^18 < 2^63), so the 16-decimal text that DmsToDegrees builds is the
    // typed digits padded with zeros. Its three fields are then integers, or
    // an integer of at most 14 digits over 10^12 for the seconds; both are
    // exact in long double, so one correctly rounded division gives the very
    // value that reading the seconds text gives.
    const std::string_view t = TrimBlanks(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    const std::size_t integer_begin = i;
    while (i < t.size() && IsDigit(t[i])) ++i;
    const std::string_view integer_part = t.substr(integer_begin, i - integer_begin);
    std::string_view fraction_part;
    if (i < t.size() && t[i] == '.') {
        const std::size_t fraction_begin = ++i;
        while (i < t.size() && IsDigit(t[i])) ++i;
        fraction_part = t.substr(fraction_begin, i - fraction_begin);
    }
    if (t.empty()) return 0.0L;
    if (i != t.size() || integer_part.size() + fraction_part.size() == 0)
        return DmsToDegrees(TextToNumber(text));

    while (!fraction_part.empty() && fraction_part.back() == '0') fraction_part.remove_suffix(1);
    std::size_t first_significant = 0;
    while (first_significant < integer_part.size() && integer_part[first_significant] == '0') ++first_significant;
    const std::string_view integer_digits = integer_part.substr(first_significant);
    std::size_t significant = integer_digits.size() + fraction_part.size();
    if (integer_digits.empty()) {
        std::size_t leading_zeros = 0;
        while (leading_zeros < fraction_part.size() && fraction_part[leading_zeros] == '0') ++leading_zeros;
        significant = fraction_part.size() - leading_zeros;
    }
    if (significant > 18 || fraction_part.size() > 16) return DmsToDegrees(TextToNumber(text));

    std::uint64_t degrees = 0;
    for (const char c : integer_digits) degrees = degrees * 10 + static_cast<std::uint64_t>(c - '0');
    char padded[16];
    for (std::size_t k = 0; k < 16; ++k) padded[k] = k < fraction_part.size() ? fraction_part[k] : '0';
    const std::uint64_t minutes = static_cast<std::uint64_t>(padded[0] - '0') * 10 + (padded[1] - '0');
    std::uint64_t seconds_scaled = 0;  // seconds * 10^12
    for (std::size_t k = 2; k < 16; ++k) seconds_scaled = seconds_scaled * 10 + static_cast<std::uint64_t>(padded[k] - '0');

    const long double result = static_cast<long double>(degrees) + static_cast<long double>(minutes) / 60 +
                               static_cast<long double>(seconds_scaled) / 1e12L / 3600;
    const bool is_zero = degrees == 0 && minutes == 0 && seconds_scaled == 0;
    return negative && !is_zero ? -result : result;
}

long double DegreesToDms(long double degrees) {
    const long double whole_degrees = std::trunc(degrees);
    const long double minutes = (degrees - whole_degrees) * 60;
    const long double whole_minutes = std::trunc(minutes);
    const long double seconds = (minutes - whole_minutes) * 60;
    return whole_degrees + whole_minutes / 100 + seconds / 10000;
}

PackedDmsCells PackedDmsCellsOf(long double latitude, long double longitude) {
    const long double packed_latitude = DegreesToDms(latitude);
    const long double packed_longitude = DegreesToDms(longitude);
    RaiseFloatingPointErrors();
    return {FormatFixed(packed_latitude, kPackedDmsDecimals), FormatFixed(packed_longitude, kPackedDmsDecimals)};
}

std::string FormatDms(long double degrees, int second_decimals) {
    const long double packed = DegreesToDms(degrees);
    const std::string text = FormatFixed(packed, second_decimals + 4);
    const std::size_t dot = text.find('.');
    std::string degree_text = text.substr(0, dot);
    std::string minute_text = text.substr(dot + 1, 2);
    std::string second_text = text.substr(dot + 3, 2);
    const std::string second_fraction = second_decimals > 0 ? "." + text.substr(dot + 5, second_decimals) : "";

    if (second_text == "60") {
        second_text = "00";
        int minutes = std::stoi(minute_text) + 1;
        if (minutes == 60) {
            minutes = 0;
            const bool negative = !degree_text.empty() && degree_text[0] == '-';
            const std::string magnitude_text = negative ? degree_text.substr(1) : degree_text;
            const unsigned long long magnitude = std::stoull(magnitude_text) + 1;
            degree_text = (negative ? "-" : "") + std::to_string(magnitude);
        }
        minute_text = (minutes < 10 ? "0" : "") + std::to_string(minutes);
    }
    return degree_text + "°" + minute_text + "′" + second_text + second_fraction + "″";
}

}  // namespace coordconv
