#pragma once
// The picture preview: one picture at its natural size in a window fitted to it.

#include <QDialog>
#include <QLabel>
#include <QSizeF>

namespace zv {
class MessageBoxService;
}

class Frm_ImageView : public QDialog {
    Q_OBJECT
  public:
    explicit Frm_ImageView(zv::MessageBoxService& messages, QWidget* parent = nullptr);

    // Loads Valiable::PreviewFilePath. A picture that cannot be shown gives
    // its message and leaves the empty window at its design size.
    void Form_Load();
    // Loads (once) and shows the window modally, centred on the screen.
    int exec() override;

    // The outer window size the load settled on, in twips.
    QSizeF WindowTwips() const { return windowTwips_; }

    QLabel* Image1;

  protected:
    // The window manager's frame is known only once the window is on
    // screen: the outer size is applied again then, so the frame is part of
    // it and not added on top.
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    double TwipsPerPixel() const;
    void SetOuterSize(QSizeF twips);
    void FitFrame();
    void Centre();

    zv::MessageBoxService& messages_;
    QSizeF windowTwips_;
    bool loaded_ = false;
    QSize frame_;  // the frame the outer size was last applied with
};
