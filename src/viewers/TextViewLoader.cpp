#include "viewers/TextViewLoader.h"

#include "viewers/PreviewFile.h"
#include "viewers/RtfDocumentBuilder.h"
#include "viewers/RtfReader.h"
#include "viewers/TextDecoder.h"

namespace zv {

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
    // The document copies line by line from the decoded text itself; a QString
    // copy of the whole would be a third copy of a file that may be huge.
    doc.setPlainText(QString::fromRawData(reinterpret_cast<const QChar*>(decoded.text.data()),
                                          static_cast<qsizetype>(decoded.text.size())));
    return true;
}

}  // namespace zv
