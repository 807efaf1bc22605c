#include "viewers/TextViewLoader.h"

#include "viewers/PreviewFile.h"
#include "viewers/RtfDocumentBuilder.h"
#include "viewers/RtfReader.h"
#include "viewers/TextDecoder.h"

namespace zv {

namespace {

// A text document spends some two hundred bytes on each block (paragraph),
// more than a short line of text itself: a file of a few million lines would
// need several times its size. So lines are gathered into blocks of about
// this many characters, joined by line separators, which the editor shows as
// line breaks all the same and turns back into line ends when text is copied.
constexpr size_t kBlockChars = 1024;

void GatherLines(std::u16string& text) {
    size_t blockStart = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n') continue;
        if (i - blockStart < kBlockChars)
            text[i] = u'\u2028';
        else
            blockStart = i + 1;
    }
}

}  // namespace

bool LoadTextViewDocument(const std::u16string& path, bool plainText, QTextDocument& doc,
                          std::string* encoding) {
    if (encoding) encoding->clear();
    DecodedText decoded;
    {
        std::string bytes;
        if (!ReadPreviewFile(path, bytes)) return false;
        if (!plainText && RtfReader::StartsWithMarkup(bytes)) {
            BuildTextDocument(RtfReader::Parse(bytes), doc);
            return true;
        }
        decoded = DecodeTextFile(bytes);
    }  // the bytes are gone before the document makes its copy of the text
    if (encoding) *encoding = decoded.encoding;
    GatherLines(decoded.text);
    // The document copies line by line from the decoded text itself; a QString
    // copy of the whole would be a third copy of a file that may be huge.
    doc.setPlainText(QString::fromRawData(reinterpret_cast<const QChar*>(decoded.text.data()),
                                          static_cast<qsizetype>(decoded.text.size())));
    return true;
}

}  // namespace zv
