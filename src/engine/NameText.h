#pragma once
// Text operations the name generators share.

#include <string>
#include <string_view>

namespace zv {

// A name cut into its base part and its extension part (the last four
// characters). A name shorter than four characters is all extension part.
// The cut never falls inside a surrogate pair: the pair then goes whole to the
// extension part, so neither part carries half a character.
struct NameParts {
    std::u16string base;
    std::u16string extension;
};
NameParts SplitName(std::u16string_view name);

// Digits "0".."9" as full-width "０".."９"; every other character unchanged.
std::u16string WidenDigits(std::u16string_view text);

// Every occurrence of `search`, scanned from the start without overlaps and
// without rescanning replaced text, replaced by `replacement`. An empty search
// string changes nothing.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view search,
                          std::u16string_view replacement);

}  // namespace zv
