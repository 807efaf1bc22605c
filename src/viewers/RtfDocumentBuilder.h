#pragma once
// Puts what the RTF reader found into a QTextDocument (Qt GUI only, no widgets).

#include <QTextDocument>

#include "viewers/RtfReader.h"

namespace zv {

// Replaces the content of target with the document's paragraphs and formats.
void BuildTextDocument(const RtfDocument& source, QTextDocument& target);

}  // namespace zv
