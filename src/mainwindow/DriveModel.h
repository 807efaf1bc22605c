#pragma once
// The "drives" of the drive lists on a system without drive letters.
//
// The user's home folder comes first, then "/", then every mounted volume a
// user would pick (no pseudo, snap, boot, overlay or sandbox mounts), in the
// order of their mount points. A drive's text starts with its mount point,
// followed by " [label]" where the volume has a label.
//
// As Windows keeps one current folder per drive, each drive here remembers the
// folder last opened on it (initially its root). One model is shared by every
// list of a window, as the process's per-drive folders are.

#include <QHash>
#include <QString>
#include <functional>
#include <vector>

namespace zv {

// One mounted volume as the system reports it.
struct VolumeInfo {
    QString rootPath;
    QString label;
    QByteArray fsType;
    QByteArray device;
    bool valid = true;
    bool ready = true;
};

struct Drive {
    QString root;  // mount point, without a trailing "/" (except "/" itself)
    QString text;  // what the drive list shows and reports as its Drive
};

class DriveModel {
  public:
    using VolumeSource = std::function<std::vector<VolumeInfo>()>;
    // Bytes free for the user on the volume holding the folder; -1 when unknown.
    using FreeSpaceSource = std::function<qint64(const QString& folder)>;

    DriveModel(QString home, VolumeSource volumes, FreeSpaceSource freeSpace = SystemFreeBytes);

    // The machine's drives, for windows that are not given a model of their own.
    static DriveModel& Shared();

    static std::vector<VolumeInfo> SystemVolumes();
    static qint64 SystemFreeBytes(const QString& folder);
    // Whether a mounted volume belongs in the drive list.
    static bool IsUserVolume(const VolumeInfo& volume);
    // "空き容量: " + megabytes as "#,###" + "MB"; the figure is left out when it
    // rounds to 0, and "不明" stands in for it when the size is unknown (< 0).
    static QString FreeSpaceText(qint64 freeBytes);

    // Enumerates the volumes again; remembered folders are kept.
    void Reload();

    int Count() const { return static_cast<int>(drives_.size()); }
    const Drive& At(int index) const { return drives_.at(static_cast<size_t>(index)); }

    // The drive a Drive text or any absolute path names: an exact drive text,
    // else the drive whose mount point holds the path. -1 when none does.
    int Find(const QString& textOrPath) const;
    // The drive whose mount point is the longest one holding the path.
    int Holding(const QString& path) const;

    // Still mounted and readable now (asks the system again).
    bool IsReady(int index) const;

    QString CurrentFolder(int index) const;
    // Remembers the folder as the current folder of the drive that holds it.
    void NoteFolder(const QString& folder);

    qint64 FreeBytes(int index) const;

  private:
    QString home_;
    VolumeSource volumes_;
    FreeSpaceSource freeSpace_;
    std::vector<Drive> drives_;
    QHash<QString, QString> current_;  // drive root -> folder
};

// A folder path in the one form the lists compare: absolute, cleaned, no
// trailing "/" except for "/" itself. Lone surrogates pass through untouched.
QString NormalizedFolder(const QString& path);

// Whether `path` is `root` or lies below it.
bool FolderHolds(const QString& root, const QString& path);

}  // namespace zv
