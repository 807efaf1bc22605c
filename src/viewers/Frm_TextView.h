#pragma once
// The text viewer: one read-only text box that fills the window and shows the
// previewed file, plain text for ".TXT" and rich text otherwise. The box is a
// plain-text editor: it lays out only what is on screen, so a file of hundreds
// of megabytes opens at once, and the character formats of rich text (all
// the RTF reader keeps) show in it all the same.

#include <QDialog>
#include <QPlainTextEdit>
#include <string>

#include "shared/MessageBox.h"

namespace zv {

class Frm_TextView : public QDialog {
    Q_OBJECT
  public:
    explicit Frm_TextView(MessageBoxService& messageBoxes, QWidget* parent = nullptr);

    // Reads Valiable::PreviewFilePath into the text box. A file that cannot
    // be read has been reported in a message box when this returns false; the
    // caller then does not show the window.
    bool Form_Load();
    // The encoding the plain text was read in; empty for rich text.
    const std::string& Encoding() const { return encoding_; }

    QPlainTextEdit* RichText1;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Form_Resize();

    MessageBoxService& messageBoxes_;
    std::string encoding_;
};

}  // namespace zv
