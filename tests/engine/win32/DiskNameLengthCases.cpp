#include "engine/DiskNameLengthCases.h"

namespace zv::test {

// The disk counts UTF-16 units: a kana is one, a character outside the BMP
// two, while the code page writes that character as one "?".
std::vector<LengthCase> DiskNameLengthCases() {
    return {
        {"leading_dot_shown", {u".photo.jpg", u".jpeg"}, {}},
        {"kana_one_unit_each", {Repeat(u"あ", 125) + u".txt"}, {}},
        {"half_width_katakana_one_unit", {Repeat(u"ｱ", 84) + u".txt"}, {}},
        // 125 emoji and ".txt": 129 code page bytes, 254 units.
        {"disk_limit_254_units_pass", {Repeat(u"\U0001F600", 125) + u".txt"}, {}},
        // 126 emoji and ".txt": 130 code page bytes, 256 units.
        {"code_page_fits_disk_does_not", {Repeat(u"\U0001F600", 126) + u".txt"}, kTooLong},
    };
}

}  // namespace zv::test
