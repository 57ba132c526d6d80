// SPDX-License-Identifier: MIT
#include "text/decimal.h"

#include "engine/fpenv.h"
#include "text/pow10.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace cttax {

// ---------------------------------------------------------------- parsing

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Exponents are summed in 32 bits; past this they only saturate, since from
// |n| = 5120 on the scale gives infinity or 0 anyway. Letting the sum wrap
// would turn 1e99999999999 into a tiny number.
constexpr std::int32_t kExponentCap = 100000000;

} // namespace

namespace {

// The digit accumulator a -> a * 10 + d, each step rounded to extended
// precision. While a stays below 2^64 every step is exact, so the first 19
// digits (10^19 - 1 < 2^64 = 18446744073709551616) are summed in an integer
// and give the same bits much faster.
class DigitAccumulator {
public:
    void push(int digit)
    {
        if (count_ < 19) {
            integer_ = integer_ * 10 + static_cast<std::uint64_t>(digit);
        } else {
            if (count_ == 19)
                extended_ = static_cast<Extended>(integer_);
            extended_ = add(mul(extended_, 10), digit);
        }
        ++count_;
    }
    Extended value() const { return count_ <= 19 ? static_cast<Extended>(integer_) : extended_; }

private:
    std::uint64_t integer_ = 0;
    Extended extended_ = 0;
    long long count_ = 0;
};

} // namespace

ParsedDecimal parseDecimal(std::string_view text)
{
    const std::size_t length = text.size();
    std::size_t i = 0;
    const auto failAt = [](Extended value, std::size_t index) {
        return ParsedDecimal{value, static_cast<std::int32_t>(index + 1)};
    };

    if (length == 0)
        return {0, 1};
    while (i < length && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == length)
        return failAt(0, length);

    DigitAccumulator accumulator;
    while (i < length && isDigit(text[i])) {
        accumulator.push(text[i] - '0');
        ++i;
    }
    std::int64_t fractionDigits = 0;
    if (i < length && text[i] == '.') {
        ++i;
        while (i < length && isDigit(text[i])) {
            accumulator.push(text[i] - '0');
            ++fractionDigits;
            ++i;
        }
    }
    std::int32_t exponent = 0;
    if (i < length && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool exponentNegative = false;
        if (i < length && (text[i] == '+' || text[i] == '-')) {
            exponentNegative = text[i] == '-';
            ++i;
        }
        if (i == length)
            return failAt(accumulator.value(), length);
        if (!isDigit(text[i]))
            return failAt(accumulator.value(), i);
        while (i < length && isDigit(text[i])) {
            if (exponent < kExponentCap)
                exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (exponentNegative)
            exponent = -exponent;
    }
    if (i != length)
        return failAt(accumulator.value(), i);

    Extended value = scaleByPowerOfTen(accumulator.value(), exponent - fractionDigits);
    if (negative)
        value = -value;
    return {value, 0};
}

// ---------------------------------------------------------------- formatting

namespace {

constexpr std::uint64_t kPow10Int[19] = {
    1ULL,
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
};

// The magnitude v as an 18-digit integer N with v ~ N * 10^(E - 18).
std::uint64_t eighteenDigits(Extended v, int &decimalExponent)
{
    int e = floorLog10OfPow2(binaryExponent(v)) + 1;
    for (;;) {
        Extended n = roundToInteger(scaleByPowerOfTen(v, 18 - e));
        if (n >= smallPowerOfTen(18)) {
            n = roundToInteger(div(n, 10));
            ++e;
        }
        // Below about 2e-205 the estimate can come out one too large, which
        // would leave a leading zero and only 14 digits: scale once more.
        if (n < smallPowerOfTen(17) && n != 0) {
            --e;
            continue;
        }
        decimalExponent = e;
        return static_cast<std::uint64_t>(n);
    }
}

char *writeDigits(char *out, std::uint64_t value, int count)
{
    for (int i = count - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + count;
}

char *writeText(char *out, std::string_view text)
{
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

} // namespace

std::size_t formatDecimalTo(char *out, Extended value, std::string_view separator)
{
    char *const start = out;
    switch (classify(value)) {
    case FP_ZERO:
    case FP_SUBNORMAL:
        *out = '0';
        return 1;
    case FP_INFINITE:
        return static_cast<std::size_t>(writeText(out, value < 0 ? "-INF" : "INF") - start);
    case FP_NAN:
        return static_cast<std::size_t>(writeText(out, "NAN") - start);
    default:
        break;
    }

    // A whole number from 1 up to below 10^15 has at most 15 digits: scaled to
    // 18 digits it is exact, its 16th digit is 0 and nothing rounds, so the
    // general path would write exactly its plain decimal digits. Results in
    // whole dollars are the common case, so they take this short way.
    const Extended magnitude = absolute(value);
    if (magnitude >= 1 && magnitude < smallPowerOfTen(15)) {
        const auto whole = static_cast<std::uint64_t>(magnitude);
        if (static_cast<Extended>(whole) == magnitude) {
            if (value < 0)
                *out++ = '-';
            int count = 1;
            while (count < 15 && whole >= kPow10Int[count])
                ++count;
            out = writeDigits(out, whole, count);
            return static_cast<std::size_t>(out - start);
        }
    }

    int exponent = 0; // value = 0.d1d2d3... * 10^exponent
    const std::uint64_t n18 = eighteenDigits(absolute(value), exponent);
    // Round to 15 digits by the 16th digit alone.
    std::uint64_t digits = n18 / 1000;
    if ((n18 / 100) % 10 >= 5)
        ++digits;
    if (digits == kPow10Int[15]) {
        digits = kPow10Int[14];
        ++exponent;
    }
    int count = 15;
    while (count > 0 && digits % 10 == 0) {
        digits /= 10;
        --count;
    }
    if (count == 0) {
        *out = '0';
        return 1;
    }
    char buffer[15];
    writeDigits(buffer, digits, count);

    if (signBit(value))
        *out++ = '-';
    if (exponent >= -3 && exponent <= 15) {
        if (exponent >= 1) {
            const int whole = exponent < count ? exponent : count;
            out = writeText(out, std::string_view(buffer, static_cast<std::size_t>(whole)));
            for (int i = whole; i < exponent; ++i)
                *out++ = '0';
            if (count > exponent) {
                out = writeText(out, separator);
                out = writeText(out, std::string_view(buffer + exponent, static_cast<std::size_t>(count - exponent)));
            }
        } else {
            *out++ = '0';
            out = writeText(out, separator);
            for (int i = 0; i < -exponent; ++i)
                *out++ = '0';
            out = writeText(out, std::string_view(buffer, static_cast<std::size_t>(count)));
        }
    } else {
        *out++ = buffer[0];
        if (count > 1) {
            out = writeText(out, separator);
            out = writeText(out, std::string_view(buffer + 1, static_cast<std::size_t>(count - 1)));
        }
        *out++ = 'E';
        int shown = exponent - 1;
        if (shown < 0) {
            *out++ = '-';
            shown = -shown;
        }
        int width = 1;
        while (width < 5 && shown >= static_cast<int>(kPow10Int[width]))
            ++width;
        out = writeDigits(out, static_cast<std::uint64_t>(shown), width);
    }
    return static_cast<std::size_t>(out - start);
}

std::string formatDecimal(Extended value, std::string_view separator)
{
    constexpr std::size_t kLongestUsualSeparator = 8;
    if (separator.size() <= kLongestUsualSeparator) { // no heap for the working buffer
        char buffer[kFormatDecimalMax + kLongestUsualSeparator];
        return std::string(buffer, formatDecimalTo(buffer, value, separator));
    }
    std::string text(kFormatDecimalMax + separator.size(), '\0');
    text.resize(formatDecimalTo(text.data(), value, separator));
    return text;
}

std::string formatDecimal(Extended value)
{
    return formatDecimal(value, ".");
}

// ---------------------------------------------------------------- rounding

double roundToDigit(double x, std::int8_t digit)
{
    const int magnitude = digit < 0 ? -digit : digit;
    Extended power = 1;
    Extended base = 10;
    for (int bits = magnitude; bits != 0; bits >>= 1) {
        if (bits & 1) {
            power = mul(power, base);
            if (bits > 1)
                base = mul(base, base);
        } else {
            base = mul(base, base);
        }
    }
    if (digit < 0)
        power = div(1, power);
    const Extended factor = static_cast<double>(power);

    if (!std::isfinite(x))
        raiseFloatError(FloatErrorKind::InvalidOperation);
    const Extended quotient = roundToInteger(div(x, factor));
    // 2^63 = 9223372036854775808; -2^63 is the smallest signed 64-bit value.
    constexpr Extended kTwo63 = extendedFromBits(0x403E, 0x8000000000000000); // 2^63
    if (!(quotient >= -kTwo63 && quotient < kTwo63))
        raiseFloatError(FloatErrorKind::InvalidOperation);
    const auto n = static_cast<std::int64_t>(quotient);
    const double result = static_cast<double>(mul(static_cast<Extended>(n), factor));
    return result == 0 ? 0.0 : result;
}

} // namespace cttax
