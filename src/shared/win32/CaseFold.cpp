#include <windows.h>

#include "shared/CaseFold.h"

namespace zv {

// NTFS compares names through an upper-case table, one unit for one unit;
// CharUpperBuffW maps the same way and never changes the length.
std::u16string FoldCase(std::u16string_view text) {
    std::u16string out(text);
    if (!out.empty()) CharUpperBuffW(reinterpret_cast<wchar_t*>(out.data()), static_cast<DWORD>(out.size()));
    return out;
}

}  // namespace zv
