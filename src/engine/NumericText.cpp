#include "NumericText.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace zv {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

double ReadNumericPrefix(std::u16string_view text) {
    // The number's characters without the blanks, as ASCII for strtod.
    std::string chars;
    for (char16_t c : text) {
        if (!IsBlank(c)) chars += c < 0x80 ? static_cast<char>(c) : '\x01';
    }

    std::size_t i = 0;
    std::size_t end = 0;  // one past the last character that makes a number
    if (i < chars.size() && (chars[i] == '+' || chars[i] == '-')) ++i;
    bool digits = false;
    while (i < chars.size() && IsDigit(chars[i])) ++i, digits = true;
    if (i < chars.size() && chars[i] == '.') {
        ++i;
        while (i < chars.size() && IsDigit(chars[i])) ++i, digits = true;
    }
    if (!digits) return 0.0;
    end = i;
    if (i < chars.size() && (chars[i] == 'e' || chars[i] == 'E' || chars[i] == 'd' || chars[i] == 'D')) {
        std::size_t j = i + 1;
        if (j < chars.size() && (chars[j] == '+' || chars[j] == '-')) ++j;
        if (j < chars.size() && IsDigit(chars[j])) {
            while (j < chars.size() && IsDigit(chars[j])) ++j;
            chars[i] = 'e';
            end = j;
        }
    }
    chars.resize(end);
    return std::strtod(chars.c_str(), nullptr);
}

std::optional<std::int32_t> RoundToInt32(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    // The default floating-point rounding mode rounds ties to even.
    const double r = std::nearbyint(value);
    if (r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
    return static_cast<std::int32_t>(r);
}

}  // namespace zv
