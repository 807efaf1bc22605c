#include "shared/CodePage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <memory>
#include <stdexcept>

namespace zv {

namespace {

struct ConverterDeleter {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterDeleter>;

// Windows' code page 932 as the system's default conversion applies it: the
// one-way best-fit mappings are used (WAVE DASH U+301C -> 0x8160, MINUS SIGN
// U+2212 -> 0x817C, ...) and a character without any mapping becomes "?".
UConverter* Converter() {
    thread_local ConverterPtr converter = [] {
        UErrorCode err = U_ZERO_ERROR;
        ConverterPtr c(ucnv_open("windows-31j", &err));
        if (U_FAILURE(err)) throw std::runtime_error("code page 932 converter not available");
        ucnv_setFallback(c.get(), true);
        ucnv_setSubstChars(c.get(), "?", 1, &err);
        ucnv_setFromUCallBack(c.get(), UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &err);
        return c;
    }();
    ucnv_reset(converter.get());
    return converter.get();
}

}  // namespace

std::string ToAnsi(std::u16string_view text) {
    if (text.empty()) return {};
    UConverter* c = Converter();
    const auto* src = reinterpret_cast<const UChar*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    // At most two bytes per UTF-16 unit in this code page.
    std::string out(text.size() * 2 + 2, '\0');
    UErrorCode err = U_ZERO_ERROR;
    int32_t n = ucnv_fromUChars(c, out.data(), static_cast<int32_t>(out.size()), src, length, &err);
    if (err == U_BUFFER_OVERFLOW_ERROR) {
        out.assign(static_cast<std::size_t>(n) + 1, '\0');
        err = U_ZERO_ERROR;
        n = ucnv_fromUChars(c, out.data(), static_cast<int32_t>(out.size()), src, length, &err);
    }
    if (U_FAILURE(err)) return std::string(text.size(), '?');
    out.resize(static_cast<std::size_t>(n));
    return out;
}

int AnsiByteCount(std::u16string_view text) { return static_cast<int>(ToAnsi(text).size()); }

std::u16string FromAnsi(std::string_view bytes) {
    if (bytes.empty()) return {};
    UConverter* c = Converter();
    std::u16string out(bytes.size() + 1, u'\0');
    UErrorCode err = U_ZERO_ERROR;
    int32_t n = ucnv_toUChars(c, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                              bytes.data(), static_cast<int32_t>(bytes.size()), &err);
    if (U_FAILURE(err)) return std::u16string(bytes.size(), u'?');
    out.resize(static_cast<std::size_t>(n));
    return out;
}

}  // namespace zv
