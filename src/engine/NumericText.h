#pragma once
// Reading numbers from the texts of the job's boxes and labels.

#include <cstdint>
#include <optional>
#include <string_view>

namespace zv {

// The leading number of a text: blanks (space, tab, line feed) are skipped
// wherever they stand, reading stops at the first character that cannot
// continue a decimal number (sign, digits, one point, an exponent "E" or "D"),
// and a text without a number reads as 0. A number too large for a double
// reads as infinity.
double ReadNumericPrefix(std::u16string_view text);

// The value rounded to the nearest integer, ties to even, when that fits in
// 32 bits; nothing otherwise.
std::optional<std::int32_t> RoundToInt32(double value);

}  // namespace zv
