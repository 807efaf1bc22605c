#pragma once
// Turns the bytes of a text file, or a run of bytes in a Windows code page,
// into UTF-16. No Qt here: the RTF reader and its fuzz target use it too.

#include <string>
#include <string_view>

namespace zv {

// Bytes in the given Windows code page (932, 1252, 65001, 10000, ...) to
// UTF-16. Bytes the code page cannot map become U+FFFD; an unknown code page
// is read as 1252 so the text stays readable.
std::u16string DecodeCodePage(std::string_view bytes, int codePage);

// Whether the code page is one this build can decode itself (not a fallback).
bool IsKnownCodePage(int codePage);

struct DecodedText {
    std::u16string text;   // line ends made "\n"
    std::string encoding;  // what was found: "UTF-8", "UTF-16LE", "windows-31j", ...
};

// A plain-text file as a Japanese user expects it to be read: a byte-order
// mark first, then strict UTF-8, then the system code page Shift-JIS (932)
// whenever the bytes are valid in it and no other East Asian encoding fits
// them clearly better, then ICU's charset detection leaning to Japanese. A
// last character cut off by the end of the file does not decide the
// encoding; it is shown as U+FFFD. CR, LF and CR LF all end a line.
DecodedText DecodeTextFile(std::string_view bytes);

}  // namespace zv
