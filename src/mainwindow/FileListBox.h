#pragma once
// A file list: the files of one folder that match a pattern, with extended
// selection (click, Shift+click, Ctrl+click).
//
// Hidden and system files are left out and the order is by name without
// regard to case (both come from FileSystem::ListFiles). Row numbers are
// 16-bit in the rest of the program, so the list holds at most kMaxRows rows:
// a larger folder shows its first kMaxRows files and the user is told once
// per folder.
//
// Rows show names readably (see ReadableName.h); list() gives the real name,
// which addresses the file even when it is not valid UTF-8.

#include <QListView>
#include <functional>
#include <vector>

#include "FilePattern.h"

namespace zv {

class FileSystem;
class MessageBoxService;
class FileListModel;

class FileListBox : public QListView {
    Q_OBJECT

  public:
    static constexpr int kMaxRows = 32767;
    // Role of a row's real file name.
    static constexpr int kNameRole = Qt::UserRole;

    explicit FileListBox(QWidget* parent = nullptr);
    ~FileListBox() override;

    void setFileSystem(FileSystem* fs);
    // Where the too-many-files notice goes; without one it is not shown.
    void setMessageBox(MessageBoxService* box);

    // The folder listed. Assigning another folder re-reads the list and fires
    // pathChange; assigning the same one does nothing. kFsPathNotFound (and no
    // change) when the folder does not exist.
    QString path() const { return path_; }
    int setPath(const QString& folder);

    // Assigning a pattern always re-reads the list and fires patternChange.
    QString pattern() const { return pattern_.Text(); }
    void setPattern(const QString& pattern);

    // Reads the folder again; the selection is cleared.
    void refresh();

    int listCount() const;
    // The real name of a row, and the text the row shows.
    QString list(int row) const;
    QString shownText(int row) const;

    bool selected(int row) const;
    void setSelected(int row, bool on);
    // Replaces the whole selection in one step: row i is selected when pick(i).
    void selectRows(const std::function<bool(int)>& pick);
    int selectedCount() const { return selectedCount_; }

    // The row with the focus (-1 when none) and its real name.
    int listIndex() const;
    QString fileName() const;

    // Whether the folder held more matching files than the list shows.
    bool truncated() const { return truncated_; }

  signals:
    // The user changed the selection (mouse or keyboard); not for changes made
    // through this class's functions.
    void click();
    void dblClick();
    void pathChange();
    void patternChange();

  protected:
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

  private:
    void Reload();
    void Mark(const QItemSelection& ranges, bool on);

    FileSystem* fs_;
    MessageBoxService* box_ = nullptr;
    FileListModel* model_;
    QString path_;
    FilePattern pattern_{QStringLiteral("*.*")};
    QString warnedFolder_;
    bool truncated_ = false;
    bool programmatic_ = false;
    // Mirror of the selection by row: the selection model answers row
    // questions in time proportional to its ranges, which odd/even selections
    // of a full list make many.
    std::vector<char> sel_;
    int selectedCount_ = 0;
};

}  // namespace zv
