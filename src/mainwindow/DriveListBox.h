#pragma once
// A drive list: a drop-down of the drives of a DriveModel.
//
// `change` fires whenever the selected drive changes, whether the user picked
// it or the program assigned it, and it runs its handlers to completion before
// setDrive returns, so handlers may nest (the drive handler of a window
// assigns folder lists whose handlers assign this list again).

#include <QComboBox>
#include <memory>

#include "DriveModel.h"

namespace zv {

class TypeAhead;

// Typing picks the next drive whose mount point's last folder or label
// starts with what was typed (see TypeAhead.h).
class DriveListBox : public QComboBox {
    Q_OBJECT

  public:
    explicit DriveListBox(QWidget* parent = nullptr);
    ~DriveListBox() override;

    // Uses another set of drives (tests, or a window's own model). The model
    // must outlive the list.
    void setDriveModel(DriveModel* model);
    DriveModel* driveModel() const { return model_; }

    // The drive's text: its mount point, then " [label]" where there is one.
    QString drive() const;
    // The mount point of the selected drive.
    QString root() const;
    int driveIndex() const { return currentIndex(); }

    // Selects the drive a Drive text names, or the drive that holds a path.
    // Returns kFsOk, or kFsDeviceUnavailable when the text names no drive (the
    // selection then stays). Selecting the drive already selected fires nothing.
    int setDrive(const QString& textOrPath);

    // Enumerates the drives again. Every list of the same model is filled
    // afresh with this one, each keeping its own drive by its mount point
    // while it is still there (rows move when a volume comes or goes); a list
    // whose drive has gone announces the change.
    void refresh();

    void showPopup() override;

  signals:
    void change();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Lists the model's drives and selects the one holding `keep`, silently.
    void Fill(const QString& keep);
    void OnIndexChanged(int index);

    DriveModel* model_;
    bool filling_ = false;
    int shown_ = -1;  // the index whose change was last announced
    std::unique_ptr<TypeAhead> typeAhead_;
};

}  // namespace zv
