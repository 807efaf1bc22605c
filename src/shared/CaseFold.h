#pragma once
// Comparing names without regard to case, as the file system of the
// program's home does: simple one-to-one case folding (no "ß" -> "ss").

#include <string>
#include <string_view>

namespace zv {

std::u16string FoldCase(std::u16string_view text);

}  // namespace zv
