#pragma once
// A reader for rich-text (RTF) files as WordPad, Word, TextEdit and the like
// write them. It keeps what a preview shows (text, paragraphs, line breaks,
// tabs, table cells, bold, italic, underline, strike-through, size, colour and
// font name) and drops the rest. No Qt here, so it is easy to test and fuzz;
// RtfDocumentBuilder turns the result into a QTextDocument.
//
// Any input gives a result: unknown control words are ignored, unbalanced
// braces are tolerated, text after the closing brace of the document is
// dropped, and the work is linear in the input with bounded nesting.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

struct RtfCharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int halfPoints = 24;      // font size in half points (\fsN)
    bool hasColor = false;    // false: the default text colour
    uint32_t color = 0;       // 0xRRGGBB when hasColor
    std::u16string fontName;  // empty: the default font

    bool operator==(const RtfCharFormat&) const = default;
};

struct RtfRun {
    std::u16string text;  // tabs as '\t', line breaks (\line) as U+2028
    RtfCharFormat format;
};

struct RtfParagraph {
    std::vector<RtfRun> runs;
};

struct RtfDocument {
    std::vector<RtfParagraph> paragraphs;
    bool hadRtfHeader = false;  // began with "{\rtf"

    // The text alone: paragraphs joined with '\n', line breaks as '\n'.
    std::u16string PlainText() const;
};

class RtfReader {
  public:
    // Nesting deeper than this is read as if its content were not there.
    static constexpr int kMaxDepth = 256;

    // Whether the bytes start like an RTF document (after blanks or a UTF-8 mark).
    static bool LooksLikeRtf(std::string_view bytes);
    // Whether the bytes start with RTF markup at all: a full document or a
    // fragment such as "{\pard ...}" that programs paste around.
    static bool StartsWithMarkup(std::string_view bytes);

    static RtfDocument Parse(std::string_view bytes);
};

}  // namespace zv
