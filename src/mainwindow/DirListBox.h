#pragma once
// A folder list: the drive's root and each folder down to the current one,
// then the current folder's subfolders, indented like a tree. Double-click or
// Enter opens the folder of a row.
//
// `change` fires whenever the current folder changes, by the user or by the
// program, and runs to completion before setPath returns.
//
// As Windows keeps a current folder per drive, the list remembers for each
// drive the folder it last showed there (initially the drive's root) and
// opens it when the drive is opened. Each list keeps its own: the
// destination list wandering about must not move the source list when that
// goes back to a drive.
//
// Typing moves to the next folder whose name starts with what was typed
// (see TypeAhead.h); the indentation does not count.
//
// Rows show names readably (see ReadableName.h) but keep the real path as
// their data, so a folder whose name is not valid UTF-8 still opens.

#include <QHash>
#include <QListWidget>

#include "DriveModel.h"
#include "TypeAhead.h"

namespace zv {

class FileSystem;

class DirListBox : public QListWidget {
    Q_OBJECT

  public:
    // Role of the rows' real, full folder path.
    static constexpr int kPathRole = Qt::UserRole;

    explicit DirListBox(QWidget* parent = nullptr);

    void setFileSystem(FileSystem* fs);
    void setDriveModel(DriveModel* model);

    // The current folder: absolute, no trailing "/" except for "/" itself.
    QString path() const { return path_; }

    // Opens a folder (relative paths count from the current folder). Returns
    // kFsOk, kFsPathNotFound when there is no such folder, or
    // kFsDeviceUnavailable when the drive holding it is gone or not ready; on
    // failure nothing changes. Assigning the current folder fires nothing.
    int setPath(const QString& path);

    // Opens the current folder of the drive a Drive text (or path) names. A
    // remembered folder that has since gone gives way to its nearest existing
    // parent. kFsDeviceUnavailable when the drive is gone or not ready.
    int openDrive(const QString& driveText);

    // Reads the subfolders again. If the current folder itself has gone, its
    // nearest existing parent opens (and `change` fires).
    void refresh();

    // Rows: the folders from the root down to the current one, then its subfolders.
    int listCount() const { return count(); }
    QString rowPath(int row) const;
    // Row of the current folder (the last of the path rows).
    int currentFolderRow() const { return currentRow_; }

  signals:
    void change();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString& search) override;

  private:
    void Rebuild();
    void OpenRow(QListWidgetItem* item);
    bool Exists(const QString& folder) const;
    // The folder itself or its nearest parent that exists, within `root`; empty if none.
    QString ExistingWithin(const QString& root, QString folder) const;

    FileSystem* fs_;
    DriveModel* model_;
    QString path_;
    int currentRow_ = -1;
    QHash<QString, QString> lastFolder_;
    TypeAhead typeAhead_;  // drive root -> folder last shown on it
};

}  // namespace zv
