#include <windows.h>

#include "shared/CodePage.h"

namespace zv {

namespace {

const wchar_t* Wide(std::u16string_view text) { return reinterpret_cast<const wchar_t*>(text.data()); }

}  // namespace

// WC_NO_BEST_FIT_CHARS: without it "¥" would be written as "\" and a name could
// turn into a path; unmappable characters become the default "?".
std::string ToAnsi(std::u16string_view text) {
    if (text.empty()) return {};
    const int len = static_cast<int>(text.size());
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Wide(text), len, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Wide(text), len, out.data(), n, nullptr, nullptr);
    return out;
}

int AnsiByteCount(std::u16string_view text) { return static_cast<int>(ToAnsi(text).size()); }

std::u16string FromAnsi(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int len = static_cast<int>(bytes.size());
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), len, nullptr, 0);
    std::u16string out(static_cast<std::size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), len, reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
}

}  // namespace zv
