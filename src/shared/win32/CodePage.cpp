#include "shared/CodePage.h"

#include <windows.h>

namespace zv {

namespace {

const wchar_t* Wide(std::u16string_view text) { return reinterpret_cast<const wchar_t*>(text.data()); }

// The double-byte code pages (932 above all) hold no character outside the
// BMP. Some converters write its two halves as two "?"; it is one character,
// so it is one "?" here before the system sees it.
std::u16string OnePlaceholderPerPair(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
                          text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        out += pair ? u'?' : text[i];
        if (pair) ++i;
    }
    return out;
}

}  // namespace

// WC_NO_BEST_FIT_CHARS: without it "¥" would be written as "\" and a name could
// turn into a path; unmappable characters become the default "?".
std::string ToAnsi(std::u16string_view original) {
    if (original.empty()) return {};
    // A system set to UTF-8 holds everything and takes no best-fit flag.
    const bool utf8 = GetACP() == CP_UTF8;
    const std::u16string text = utf8 ? std::u16string(original) : OnePlaceholderPerPair(original);
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int len = static_cast<int>(text.size());
    int n = WideCharToMultiByte(CP_ACP, flags, Wide(text), len, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, flags, Wide(text), len, out.data(), n, nullptr, nullptr);
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
