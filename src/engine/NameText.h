#pragma once
// Text operations the name generators share.

#include <string>
#include <string_view>

namespace zv {

// A name cut into its base part and its extension part. A name whose fourth
// character from the end is a dot ("photo.jpg") keeps the classic cut before
// its last four characters. Any other name is cut at its last dot, unless that
// dot is the name's first character: "photo.jpeg" -> "photo" + ".jpeg",
// "a.c" -> "a" + ".c", "README" -> "README" + "". Only U+002E counts as a dot
// (not the full-width "．"), so the cut never falls inside a surrogate pair.
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
