#pragma once
// What the text viewer puts on screen for a file, apart from the window.

#include <QTextDocument>
#include <string>

namespace zv {

// Fills doc from the file: plain text (encoding detected) when plainText,
// else rich text; a file that is not RTF at all is shown as plain text.
// *encoding gets the encoding of plain text, empty for rich text. False when
// the file cannot be read.
bool LoadTextViewDocument(const std::u16string& path, bool plainText, QTextDocument& doc,
                          std::string* encoding = nullptr);

}  // namespace zv
