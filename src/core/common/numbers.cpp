#include "core/common/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace bp {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

double readRadix(const std::string& s, std::size_t pos, int radix) {
    double result = 0;
    for (; pos < s.size(); ++pos) {
        char c = s[pos];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        if (digit >= radix)
            break;
        result = result * radix + digit;
    }
    return result;
}
} // namespace

double leadingNumber(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (!isBlank(c))
            s.push_back(c);

    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return readRadix(s, 2, 16);
        if (s[1] == 'O' || s[1] == 'o')
            return readRadix(s, 2, 8);
    }

    // Collect the longest prefix of the form [sign] digits [. digits] [E|D [sign] digits].
    std::string number;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number.push_back(s[i++]);
    bool digits = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        number.push_back(s[i++]);
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        number.push_back(s[i++]);
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            number.push_back(s[i++]);
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent.push_back(s[j++]);
        bool expDigits = false;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') {
            exponent.push_back(s[j++]);
            expDigits = true;
        }
        if (expDigits)
            number += exponent;
    }
    if (number[0] == '+')
        number.erase(0, 1);
    double value = 0;
    auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on a range error: decide by the exponent's sign.
        const bool negative = number[0] == '-';
        const auto e = number.find('e');
        const bool tiny = e != std::string::npos && number.find('-', e) != std::string::npos;
        if (tiny)
            return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    (void)ptr;
    return value;
}

float toSingle(double value) {
    if (std::isnan(value))
        return 0.0f;
    constexpr double maxFloat = std::numeric_limits<float>::max();
    if (value > maxFloat)
        return std::numeric_limits<float>::max();
    if (value < -maxFloat)
        return -std::numeric_limits<float>::max();
    // The conversion rounds to the nearest float, so the smallest ones and
    // their neighbours survive and anything smaller becomes 0.
    return static_cast<float>(value);
}

namespace {
std::string generalText(double value, int precision) {
    if (value == 0 || std::isnan(value))
        return "0";
    char buf[64];
    // Whole numbers, the common case of positions, are written as integers,
    // as the general format would write them, without its search.
    if (precision == 7 && std::fabs(value) < 1e7 && value == std::trunc(value)) {
        const auto end = std::to_chars(buf, buf + sizeof buf, static_cast<long>(value)).ptr;
        return std::string(buf, end);
    }
    auto [ptr, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision);
    if (ec != std::errc())
        return "0";
    std::string s(buf, ptr);
    // "1.5e-05" is written 1.5E-05, with at least two exponent digits.
    auto e = s.find('e');
    if (e != std::string::npos) {
        std::string mantissa = s.substr(0, e);
        char sign = s[e + 1];
        std::string digits = s.substr(e + 2);
        while (digits.size() < 2)
            digits.insert(digits.begin(), '0');
        s = mantissa + "E" + sign + digits;
    }
    return s;
}
} // namespace

std::string numberText(float value) {
    return generalText(static_cast<double>(value), 7);
}

std::string numberText(double value) {
    return numberText(toSingle(value));
}

std::string fixedText(double value, int decimals) {
    if (std::isnan(value) || std::isinf(value))
        value = 0;
    char buf[512];
    auto [ptr, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        return "0";
    std::string s(buf, ptr);
    // A value that rounds to zero is written without its sign.
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos)
        s.erase(0, 1);
    return s;
}

double roundHalfEven(double value) {
    if (std::isnan(value) || std::isinf(value))
        return value;
    return std::nearbyint(value); // the default rounding mode sends ties to even
}

double roundHalfEven(double value, int decimals) {
    if (std::isnan(value) || std::isinf(value))
        return value;
    // Decide on the shortest decimal text of the value, the number a person
    // typed, rather than on value * 10^n, whose binary error would hide or
    // invent ties.
    char buf[64];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    if (ec != std::errc())
        return value;
    std::string s(buf, ptr); // "-d.ddddde+XX"
    const bool negative = s[0] == '-';
    if (negative)
        s.erase(0, 1);
    const auto e = s.find('e');
    int exponent = std::stoi(s.substr(e + 1));
    std::string digits = s.substr(0, 1) + (e > 2 ? s.substr(2, e - 2) : std::string());
    // value = 0.digits * 10^(exponent + 1); keep (exponent + 1 + decimals) digits.
    const int keep = exponent + 1 + decimals;
    if (keep < 0)
        return 0.0;
    if (keep >= static_cast<int>(digits.size()))
        return value;
    std::string kept = digits.substr(0, static_cast<std::size_t>(keep));
    const std::string rest = digits.substr(static_cast<std::size_t>(keep));
    const bool aboveHalf =
        rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
    const bool tie = rest[0] == '5' && !aboveHalf;
    const bool lastOdd = !kept.empty() && (kept.back() - '0') % 2 == 1;
    double mantissa = kept.empty() ? 0.0 : std::stod(kept);
    if (aboveHalf || (tie && lastOdd))
        mantissa += 1;
    double result = mantissa / std::pow(10.0, decimals);
    return negative ? -result : result;
}

double colourScale(float fraction) {
    const double exact = static_cast<double>(fraction) * 255.0;
    const double whole = roundHalfEven(exact);
    // Three decimals tell every whole number of the scale apart.
    if (toSingle(roundHalfEven(whole / 255.0, 3)) == fraction)
        return whole;
    return exact;
}

int zoomStep(int percent, int direction) {
    constexpr int steps[] = {10, 25, 33, 50, 67, 75, 100, 150, 200, 300, 400, 600, 800, 1200, 1600};
    if (direction > 0) {
        for (int s : steps)
            if (s > percent)
                return s;
        return steps[std::size(steps) - 1];
    }
    for (auto it = std::rbegin(steps); it != std::rend(steps); ++it)
        if (*it < percent)
            return *it;
    return steps[0];
}

} // namespace bp
