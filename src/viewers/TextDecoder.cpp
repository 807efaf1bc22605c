#include "viewers/TextDecoder.h"

#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <unordered_map>
#include <vector>

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

bool Convert(const char* name, std::string_view bytes, bool strict, std::u16string& out) {
    out.clear();
    ConverterPtr conv = Open(name, strict);
    return conv && ConvertWith(conv.get(), bytes, out);
}

// Decodes a whole file straight into out, in slices, so a large file is held
// once as bytes and once as text and never as anything more. CR LF and lone
// CR become LF on the way. A character cut off by the end of the file becomes
// U+FFFD rather than condemning the whole file. False when strict and a byte
// sequence is not valid in the encoding; out is then emptied.
bool DecodeFile(const char* name, std::string_view bytes, bool strict, std::u16string& out) {
    out = {};
    ConverterPtr conv = Open(name, strict);
    if (!conv) return false;
    // Every converter used here gives at most one UTF-16 unit per byte, plus
    // the mark of a cut-off end. Reserving touches no memory yet.
    out.reserve(bytes.size() + 1);
    const char* source = bytes.data();
    const char* const sourceEnd = source + bytes.size();
    bool afterCr = false;
    char16_t nonAscii = 0;
    UChar slice[16384];
    UErrorCode status;
    do {
        status = U_ZERO_ERROR;
        UChar* target = slice;
        ucnv_toUnicode(conv.get(), &target, slice + std::size(slice), &source, sourceEnd, nullptr, false,
                       &status);
        for (const UChar* p = slice; p < target; ++p) {
            const char16_t c = *p;
            if (afterCr && c == u'\n') {
                afterCr = false;
                continue;
            }
            afterCr = c == u'\r';
            nonAscii |= c & 0xFF80;
            out.push_back(afterCr ? u'\n' : c);
        }
    } while (status == U_BUFFER_OVERFLOW_ERROR);
    if (U_FAILURE(status)) {
        out = {};
        return false;
    }
    status = U_ZERO_ERROR;
    if (ucnv_toUCountPending(conv.get(), &status) > 0) {
        // Only the rest of the file speaks for the encoding, and plain ASCII
        // says nothing: "caf\xE9" is no cut-off UTF-8 or Shift-JIS.
        if (strict && !nonAscii) {
            out = {};
            return false;
        }
        out.push_back(u'\uFFFD');
    }
    return true;
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() && bytes.substr(0, prefix.size()) == prefix;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF. The
// last character may be cut off by the end of the data when a whole one
// before it shows the text is UTF-8.
bool IsValidUtf8(std::string_view s) {
    bool multibyte = false;
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len;
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
        for (size_t k = 1; k < len && i + k < n; ++k) {
            const unsigned char t = s[i + k];
            if (t < (k == 1 ? lo : 0x80) || t > (k == 1 ? hi : 0xBF)) return false;
        }
        if (i + len > n) return multibyte;
        multibyte = true;
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

// Bytes 0x80..0xA0 occur in Shift-JIS (lead bytes of kana and most kanji) but
// never in EUC-JP, EUC-KR, GB2312 or Big5 text. Without them a Shift-JIS
// reading may be an accident of those encodings.
bool HasShiftJisOnlyBytes(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80 && c <= 0xA0) return true;
    return false;
}

struct Candidate {
    std::string name;  // ICU's name
    int confidence;    // 0..100, with the Japanese bias added
};

constexpr int kJapaneseBias = 10;
constexpr size_t kDetectSample = 64 * 1024;

bool IsJapanese(std::string_view icuName) {
    return icuName == "Shift_JIS" || icuName == "EUC-JP" || icuName == "ISO-2022-JP";
}

// The double-byte encodings of East Asia, by ICU's name.
bool IsCjk(std::string_view icuName) {
    return icuName == "Shift_JIS" || icuName == "EUC-JP" || icuName == "EUC-KR" || icuName == "GB18030" ||
           icuName == "Big5";
}

// ICU's guesses for the start of the file, most likely first, Japanese
// encodings lifted a little: on this system a tie is Japanese.
std::vector<Candidate> Detect(std::string_view bytes) {
    std::string_view sample = bytes.substr(0, kDetectSample);
    // End the sample on a character boundary: trailing non-ASCII bytes may be
    // half a character.
    size_t end = sample.size();
    while (end > sample.size() / 2 && static_cast<unsigned char>(sample[end - 1]) >= 0x80) --end;
    if (end > sample.size() / 2) sample = sample.substr(0, end);
    // ICU will not judge a handful of double-byte characters at all. Its
    // tables of common characters decide a short text well, though, once
    // the text is long enough for it to look: repeat it.
    std::string text(sample);
    for (int copies = 1; text.size() < 4096 && copies < 64; ++copies) (text += '\n') += sample;

    std::vector<Candidate> found;
    UErrorCode status = U_ZERO_ERROR;
    UCharsetDetector* detector = ucsdet_open(&status);
    if (U_FAILURE(status)) return found;
    ucsdet_setText(detector, text.data(), static_cast<int32_t>(text.size()), &status);
    int32_t count = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector, &count, &status);
    for (int32_t i = 0; U_SUCCESS(status) && i < count; ++i) {
        const char* name = ucsdet_getName(matches[i], &status);
        const int confidence = ucsdet_getConfidence(matches[i], &status);
        if (name && U_SUCCESS(status))
            found.push_back({name, confidence + (IsJapanese(name) ? kJapaneseBias : 0)});
    }
    ucsdet_close(detector);
    std::stable_sort(found.begin(), found.end(),
                     [](const Candidate& a, const Candidate& b) { return a.confidence > b.confidence; });
    return found;
}

// The converter for a name ICU's detector gives: the Windows code page where
// Windows files use a superset; empty for what was ruled out before.
std::string ConverterFor(const std::string& icuName) {
    if (icuName.starts_with("UTF-16") || icuName.starts_with("UTF-32")) return {};
    if (icuName == "Shift_JIS") return "windows-31j";
    if (icuName == "EUC-KR") return "windows-949";
    if (icuName == "Big5") return "windows-950";
    if (icuName == "ISO-8859-1") return "windows-1252";
    return icuName;
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

DecodedText DecodeTextFile(std::string_view bytes) {
    DecodedText result;
    auto take = [&](const std::string& name, std::string_view body, bool strict) {
        if (!DecodeFile(name.c_str(), body, strict, result.text)) return false;
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

    // The system code page wins whenever the bytes are valid in it, unless
    // they are just as valid in another East Asian encoding that ICU finds
    // clearly more natural (Korean or Chinese read as half-width katakana).
    std::vector<Candidate> candidates;
    if (!HasShiftJisOnlyBytes(bytes)) {
        candidates = Detect(bytes);
        int shiftJis = kJapaneseBias;
        for (const Candidate& c : candidates)
            if (c.name == "Shift_JIS") shiftJis = c.confidence;
        for (const Candidate& c : candidates) {
            if (c.confidence < 50 || c.confidence <= shiftJis) break;
            if (IsCjk(c.name) && take(ConverterFor(c.name), bytes, true)) return result;
        }
    }
    if (take("windows-31j", bytes, true)) return result;

    // Not the system code page: ICU's likeliest guess that fits the bytes.
    if (candidates.empty()) candidates = Detect(bytes);
    for (const Candidate& c : candidates) {
        const std::string name = ConverterFor(c.name);
        if (!name.empty() && take(name, bytes, IsCjk(c.name))) return result;
    }
    take("windows-1252", bytes, false);
    return result;
}

}  // namespace zv
