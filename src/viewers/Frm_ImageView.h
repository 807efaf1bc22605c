#pragma once
// The picture preview: one picture at its natural size in a window fitted to it.

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QSizeF>
#include <QTimer>
#include <memory>

#include "viewers/MetafileLoader.h"

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
    // True while a metafile that took long is still being drawn.
    bool Drawing() const { return drawing_ != nullptr; }

    // Closing the window drops a drawing still under way.
    void done(int result) override;

    QLabel* Image1;

  private:
    double TwipsPerPixel() const;
    void SetOuterSize(QSizeF twips);
    void ShowDrawn();
    void DrawMore();

    zv::MessageBoxService& messages_;
    QSizeF windowTwips_;
    bool loaded_ = false;
    // A metafile not done within the first wait: drawn on in slices between
    // events, shown as it grows.
    std::unique_ptr<zv::MetafileLoader::Drawing> drawing_;
    QTimer drawTimer_;
    QElapsedTimer sinceShown_;
};
