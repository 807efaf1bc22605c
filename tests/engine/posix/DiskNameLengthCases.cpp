#include "engine/DiskNameLengthCases.h"

namespace zv::test {

// The disk counts UTF-8 bytes: three for each kana.
std::vector<LengthCase> DiskNameLengthCases() {
    return {
        // 125 full-width characters: 254 code page bytes pass, 379 UTF-8 bytes do not fit the disk.
        {"code_page_fits_disk_does_not", {Repeat(u"あ", 125) + u".txt"}, kTooLong},
        {"disk_limit_255_pass", {Repeat(u"ｱ", 83) + u".txt"}, {}},
        {"disk_limit_256_refused", {Repeat(u"ｱ", 84) + u".txt"}, kTooLong},
        // A leading dot hides the file here; later rows are not looked at.
        {"leading_dot_hides", {u"a.txt", u".photo.jpg", Repeat(u"a", 300)}, kHidden},
        {"leading_dot_before_extension_hides", {u".jpeg"}, kHidden},
        {"inner_dot_passes", {u"a..b.txt"}, {}},
    };
}

}  // namespace zv::test
