#include "viewers/Frm_TextView.h"

#include <QFont>

#include "shared/Valiable.h"
#include "viewers/PreviewDispatch.h"
#include "viewers/TextViewLoader.h"

namespace zv {

namespace {
// 8340 x 5010 twips at 15 twips to the pixel.
constexpr int kClientWidth = 556;
constexpr int kClientHeight = 334;
}  // namespace

Frm_TextView::Frm_TextView(MessageBoxService& messageBoxes, QWidget* parent)
    : QDialog(parent), RichText1(new QPlainTextEdit(this)), messageBoxes_(messageBoxes) {
    setObjectName("Frm_TextView");
    setWindowTitle("TextView");
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    RichText1->setObjectName("RichText1");
    RichText1->setReadOnly(true);
    RichText1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Where the Mincho face is missing, the fallback must be one CJK face
    // for kana and kanji alike, not a per-glyph mix of serif and sans.
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ 明朝"), QStringLiteral("Noto Serif CJK JP"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setPointSizeF(9);
    RichText1->setFont(font);
    RichText1->document()->setDefaultFont(font);
    RichText1->setGeometry(0, 0, 217, 153);  // 3255 x 2295 twips until the load fits it
    resize(kClientWidth, kClientHeight);
}

bool Frm_TextView::Form_Load() {
    Form_Resize();
    const std::u16string& path = Valiable::PreviewFilePath;
    setWindowTitle(QString::fromStdU16String(u"テキストビュアー( " + path + u" )"));
    const bool plainText = PreviewDispatch::ExtensionKey(path) == u".TXT";
    if (!LoadTextViewDocument(path, plainText, *RichText1->document(), &encoding_)) {
        messageBoxes_.Show(u"このファイルは表示できません。", kOkOnly, u"読み込みエラー");
        return false;
    }
    RichText1->moveCursor(QTextCursor::Start);
    return true;
}

void Frm_TextView::Form_Resize() { RichText1->setGeometry(0, 0, width(), height()); }

void Frm_TextView::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

}  // namespace zv
