#include "viewers/TextDecoder.h"

#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>

#include <memory>
#include <unordered_map>

namespace zv {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// ICU's name for a Windows code page number, or nullptr when ICU has none.
const char* IcuName(int codePage) {
    switch (codePage) {
        case 932:
        case 10001:  // Mac Japanese: close enough to Shift-JIS for display
            return "windows-31j";
        case 936:
            return "windows-936";
        case 949:
            return "windows-949";
        case 950:
            return "windows-950";
        case 874:
            return "windows-874";
        case 437:
            return "ibm-437";
        case 850:
            return "ibm-850";
        case 10000:
            return "macintosh";
        case 10007:
            return "x-mac-cyrillic";
        case 65001:
            return "UTF-8";
        case 20932:
        case 51932:
            return "EUC-JP";
        case 50220:
        case 50221:
        case 50222:
            return "ISO-2022-JP";
        default:
            if (codePage >= 1250 && codePage <= 1258) {
                static const char* const names[] = {"windows-1250", "windows-1251", "windows-1252",
                                                    "windows-1253", "windows-1254", "windows-1255",
                                                    "windows-1256", "windows-1257", "windows-1258"};
                return names[codePage - 1250];
            }
            return nullptr;
    }
}

ConverterPtr Open(const char* name, bool strict) {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr conv(ucnv_open(name, &status));
    if (U_FAILURE(status)) return nullptr;
    if (strict) {
        ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    }
    return conv;
}

bool ConvertWith(UConverter* conv, std::string_view bytes, std::u16string& out) {
    out.assign(bytes.size() * 2 + 16, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = ucnv_toUChars(conv, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                              bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) {
        out.clear();
        return false;
    }
    out.resize(n);
    return true;
}

// Decodes with the named converter; false when strict and a byte sequence is
// not valid in that encoding.
bool Convert(const char* name, std::string_view bytes, bool strict, std::u16string& out) {
    out.clear();
    ConverterPtr conv = Open(name, strict);
    return conv && ConvertWith(conv.get(), bytes, out);
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() && bytes.substr(0, prefix.size()) == prefix;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len;
        unsigned lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (i + len > n) return false;
        for (int k = 1; k < len; ++k) {
            const unsigned char t = s[i + k];
            if (t < (k == 1 ? lo : 0x80) || t > (k == 1 ? hi : 0xBF)) return false;
        }
        i += len;
    }
    return true;
}

// Seven-bit text with the escape sequences of ISO-2022-JP: valid UTF-8 as it
// stands, but shown that way it is unreadable.
bool LooksLikeIso2022Jp(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return s.find("\x1b$B") != std::string_view::npos || s.find("\x1b$@") != std::string_view::npos;
}

// UTF-16 without a mark betrays itself by the zero high bytes of its ASCII.
const char* GuessBomlessUtf16(std::string_view s) {
    if (s.size() < 4 || s.size() % 2 != 0) return nullptr;
    size_t zeroEven = 0, zeroOdd = 0;
    for (size_t i = 0; i < s.size(); i += 2) {
        if (s[i] == 0) ++zeroEven;
        if (s[i + 1] == 0) ++zeroOdd;
    }
    const size_t units = s.size() / 2;
    if (zeroOdd * 5 >= units * 2 && zeroEven * 20 < units) return "UTF-16LE";
    if (zeroEven * 5 >= units * 2 && zeroOdd * 20 < units) return "UTF-16BE";
    return nullptr;
}

// How much a decoding looks like ordinary Japanese: kana and kanji count for
// it, half-width katakana, private-use and replacement characters against.
// EUC-JP read as Shift-JIS turns into exactly that second kind.
long JapaneseScore(const std::u16string& text) {
    long score = 0;
    for (char16_t c : text) {
        if ((c >= 0x3040 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3000 && c <= 0x303F) ||
            (c >= 0xFF01 && c <= 0xFF5E))
            score += 2;
        else if ((c >= 0xFF61 && c <= 0xFF9F) || (c >= 0xE000 && c <= 0xF8FF) || c == 0xFFFD || c == 0x1A)
            score -= 3;
    }
    return score;
}

}  // namespace

bool IsKnownCodePage(int codePage) { return IcuName(codePage) != nullptr; }

std::u16string DecodeCodePage(std::string_view bytes, int codePage) {
    // The RTF reader decodes run after run in the same few code pages.
    thread_local std::unordered_map<int, ConverterPtr> cache;
    if (!IcuName(codePage)) codePage = 1252;
    ConverterPtr& conv = cache[codePage];
    if (!conv) conv = Open(IcuName(codePage), false);
    std::u16string out;
    if (!conv) {  // ICU without its data: Latin-1 at least shows ASCII right
        for (unsigned char b : bytes) out.push_back(b);
        return out;
    }
    ucnv_reset(conv.get());
    if (!ConvertWith(conv.get(), bytes, out)) Convert("windows-1252", bytes, false, out);
    // ICU marks unmappable bytes with the control SUB; a reader wants U+FFFD.
    for (char16_t& c : out)
        if (c == 0x1A) c = 0xFFFD;
    return out;
}

std::u16string NormaliseLineEnds(std::u16string text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            out.push_back(u'\n');
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

DecodedText DecodeTextFile(std::string_view bytes) {
    DecodedText result;
    auto take = [&](const char* name, std::string_view body, bool strict) {
        std::u16string text;
        if (!Convert(name, body, strict, text)) return false;
        result.text = NormaliseLineEnds(std::move(text));
        result.encoding = name;
        return true;
    };
    // UTF-32 marks first: FF FE 00 00 also starts like the UTF-16 LE mark.
    if (StartsWith(bytes, std::string_view("\xFF\xFE\x00\x00", 4)) &&
        take("UTF-32LE", bytes.substr(4), false))
        return result;
    if (StartsWith(bytes, std::string_view("\x00\x00\xFE\xFF", 4)) &&
        take("UTF-32BE", bytes.substr(4), false))
        return result;
    if (StartsWith(bytes, "\xEF\xBB\xBF") && take("UTF-8", bytes.substr(3), false)) return result;
    if (StartsWith(bytes, "\xFF\xFE") && take("UTF-16LE", bytes.substr(2), false)) return result;
    if (StartsWith(bytes, "\xFE\xFF") && take("UTF-16BE", bytes.substr(2), false)) return result;

    if (LooksLikeIso2022Jp(bytes) && take("ISO-2022-JP", bytes, true)) return result;
    if (const char* utf16 = GuessBomlessUtf16(bytes); utf16 && take(utf16, bytes, true)) return result;
    if (IsValidUtf8(bytes) && take("UTF-8", bytes, false)) return result;

    std::u16string sjis, euc;
    const bool sjisOk = Convert("windows-31j", bytes, true, sjis);
    const bool eucOk = Convert("EUC-JP", bytes, true, euc);
    if (sjisOk && !(eucOk && JapaneseScore(euc) > JapaneseScore(sjis))) {
        result.text = NormaliseLineEnds(std::move(sjis));
        result.encoding = "windows-31j";
        return result;
    }
    if (eucOk && JapaneseScore(euc) > 0) {
        result.text = NormaliseLineEnds(std::move(euc));
        result.encoding = "EUC-JP";
        return result;
    }

    // Neither: let ICU guess among everything it knows.
    UErrorCode status = U_ZERO_ERROR;
    UCharsetDetector* detector = ucsdet_open(&status);
    if (U_SUCCESS(status)) {
        ucsdet_setText(detector, bytes.data(), static_cast<int32_t>(bytes.size()), &status);
        const UCharsetMatch* match = ucsdet_detect(detector, &status);
        const char* name = match && U_SUCCESS(status) ? ucsdet_getName(match, &status) : nullptr;
        const bool ok = name && U_SUCCESS(status) && take(name, bytes, false);
        ucsdet_close(detector);
        if (ok) return result;
    }
    take("windows-1252", bytes, false);
    return result;
}

}  // namespace zv
