#include "viewers/TextViewLoader.h"

#include "viewers/PreviewFile.h"
#include "viewers/RtfDocumentBuilder.h"
#include "viewers/RtfReader.h"
#include "viewers/TextDecoder.h"

namespace zv {

bool LoadTextViewDocument(const std::u16string& path, bool plainText, QTextDocument& doc) {
    std::string bytes;
    if (!ReadPreviewFile(path, bytes)) return false;
    if (plainText || !RtfReader::StartsWithMarkup(bytes)) {
        doc.setPlainText(QString::fromStdU16String(DecodeTextFile(bytes).text));
        return true;
    }
    BuildTextDocument(RtfReader::Parse(bytes), doc);
    return true;
}

}  // namespace zv
