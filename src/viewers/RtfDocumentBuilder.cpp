#include "viewers/RtfDocumentBuilder.h"

#include <QColor>
#include <QTextCharFormat>
#include <QTextCursor>

namespace zv {

void BuildTextDocument(const RtfDocument& source, QTextDocument& target) {
    target.clear();
    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    bool first = true;
    for (const RtfParagraph& paragraph : source.paragraphs) {
        if (!first) cursor.insertBlock();
        first = false;
        for (const RtfRun& run : paragraph.runs) {
            QTextCharFormat format;
            format.setFontWeight(run.format.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(run.format.italic);
            format.setFontUnderline(run.format.underline);
            format.setFontStrikeOut(run.format.strike);
            format.setFontPointSize(run.format.halfPoints / 2.0);
            if (!run.format.fontName.empty())
                format.setFontFamilies({QString::fromStdU16String(run.format.fontName)});
            if (run.format.hasColor) format.setForeground(QColor::fromRgb(run.format.color));
            cursor.insertText(QString::fromStdU16String(run.text), format);
        }
    }
    cursor.endEditBlock();
}

}  // namespace zv
