#include "shared/CaseFold.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

namespace zv {

std::u16string FoldCase(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    // ASCII folds to its lower case; the rest goes through the full table.
    std::size_t ascii = 0;
    for (; ascii < text.size() && text[ascii] < 0x80; ++ascii) {
        const char16_t c = text[ascii];
        out += c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
    }
    const auto* s = reinterpret_cast<const UChar*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = static_cast<int32_t>(ascii); i < length;) {
        UChar32 c;
        U16_NEXT(s, i, length, c);  // a lone surrogate comes back as itself
        UChar32 folded = u_foldCase(c, U_FOLD_CASE_DEFAULT);
        if (folded <= 0xFFFF) {
            out += static_cast<char16_t>(folded);
        } else {
            out += static_cast<char16_t>(U16_LEAD(folded));
            out += static_cast<char16_t>(U16_TRAIL(folded));
        }
    }
    return out;
}

}  // namespace zv
