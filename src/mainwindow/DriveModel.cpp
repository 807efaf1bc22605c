#include "DriveModel.h"

#include <QDir>
#include <QStorageInfo>
#include <algorithm>
#include <cmath>

namespace zv {

namespace {

// File systems that hold no user files: kernel interfaces, memory-only
// scratch space, container layers and compressed read-only images (snaps).
constexpr const char* kPseudoTypes[] = {
    "proc",    "sysfs",      "devtmpfs",  "devpts",      "tmpfs",         "ramfs",    "cgroup",
    "cgroup2", "securityfs", "pstore",    "bpf",         "debugfs",       "tracefs",  "configfs",
    "fusectl", "mqueue",     "hugetlbfs", "autofs",      "binfmt_misc",   "efivarfs", "rpc_pipefs",
    "nsfs",    "overlay",    "squashfs",  "fuse.portal", "fuse.snapfuse", "nfsd",     "selinuxfs",
};

// Mount points below these belong to the system, snaps, containers or
// sandboxes. /run/media stays: desktop systems mount removable media there.
constexpr const char* kSystemRoots[] = {
    "/proc",
    "/sys",
    "/dev",
    "/boot",
    "/snap",
    "/var/snap",
    "/var/lib/snapd",
    "/var/lib/docker",
    "/var/lib/containers",
    "/var/lib/flatpak",
    "/efi",
};

bool StartsWithFolder(const QString& path, const char* root) {
    return FolderHolds(QLatin1String(root), path);
}

}  // namespace

QString NormalizedFolder(const QString& path) {
    if (path.isEmpty()) return path;
    QString clean = QDir::cleanPath(path);
    if (clean.size() > 1 && clean.endsWith(QLatin1Char('/'))) clean.chop(1);
    return clean;
}

bool FolderHolds(const QString& root, const QString& path) {
    if (root == QLatin1String("/")) return path.startsWith(QLatin1Char('/'));
    if (!path.startsWith(root)) return false;
    return path.size() == root.size() || path.at(root.size()) == QLatin1Char('/');
}

DriveModel::DriveModel(QString home, VolumeSource volumes, FreeSpaceSource freeSpace)
    : home_(NormalizedFolder(home)), volumes_(std::move(volumes)), freeSpace_(std::move(freeSpace)) {
    Reload();
}

DriveModel& DriveModel::Shared() {
    static DriveModel model(QDir::homePath(), SystemVolumes);
    return model;
}

std::vector<VolumeInfo> DriveModel::SystemVolumes() {
    std::vector<VolumeInfo> out;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        out.push_back({s.rootPath(), s.name(), s.fileSystemType(), s.device(), s.isValid(), s.isReady()});
    }
    return out;
}

qint64 DriveModel::SystemFreeBytes(const QString& folder) {
    QStorageInfo s(folder);
    if (!s.isValid() || !s.isReady()) return -1;
    return s.bytesAvailable();
}

bool DriveModel::IsUserVolume(const VolumeInfo& v) {
    if (!v.valid || !v.ready || v.rootPath.isEmpty()) return false;
    for (const char* t : kPseudoTypes) {
        if (v.fsType == t) return false;
    }
    const QString root = NormalizedFolder(v.rootPath);
    if (root == QLatin1String("/")) return true;
    for (const char* r : kSystemRoots) {
        if (StartsWithFolder(root, r)) return false;
    }
    // /run holds per-user sandboxes (document portals, gvfs) besides removable media.
    if (StartsWithFolder(root, "/run") && !StartsWithFolder(root, "/run/media")) return false;
    return true;
}

QString DriveModel::FreeSpaceText(qint64 freeBytes) {
    const QString head = QStringLiteral("空き容量: ");
    if (freeBytes < 0) return head + QStringLiteral("不明");
    const double mb = static_cast<double>(freeBytes) / 1024.0 / 1024.0;
    const long long whole = std::llround(mb);
    QString digits;
    if (whole != 0) {
        const QString plain = QString::number(whole);
        for (qsizetype i = 0; i < plain.size(); ++i) {
            if (i > 0 && (plain.size() - i) % 3 == 0) digits += QLatin1Char(',');
            digits += plain.at(i);
        }
    }
    return head + digits + QStringLiteral("MB");
}

void DriveModel::Reload() {
    drives_.clear();
    if (!home_.isEmpty() && home_ != QLatin1String("/")) drives_.push_back({home_, home_});
    drives_.push_back({QStringLiteral("/"), QStringLiteral("/")});
    std::vector<Drive> mounts;
    for (const VolumeInfo& v : volumes_()) {
        if (!IsUserVolume(v)) continue;
        const QString root = NormalizedFolder(v.rootPath);
        if (root == QLatin1String("/") || root == home_) continue;
        const bool seen =
            std::any_of(mounts.begin(), mounts.end(), [&](const Drive& d) { return d.root == root; });
        if (seen) continue;  // a mount point mounted over: one entry
        QString text = root;
        if (!v.label.isEmpty()) text += QStringLiteral(" [") + v.label + QLatin1Char(']');
        mounts.push_back({root, text});
    }
    std::sort(mounts.begin(), mounts.end(), [](const Drive& a, const Drive& b) { return a.root < b.root; });
    drives_.insert(drives_.end(), mounts.begin(), mounts.end());
}

int DriveModel::Find(const QString& textOrPath) const {
    for (int i = 0; i < Count(); ++i) {
        if (At(i).text == textOrPath) return i;
    }
    QString path = textOrPath;
    // A drive text whose label has changed since it was stored: its mount point still counts.
    const qsizetype bracket = path.lastIndexOf(QStringLiteral(" ["));
    if (bracket > 0 && path.endsWith(QLatin1Char(']'))) {
        const int i = Holding(path.left(bracket));
        if (i >= 0 && At(i).root == NormalizedFolder(path.left(bracket))) return i;
    }
    return Holding(path);
}

int DriveModel::Holding(const QString& path) const {
    if (!path.startsWith(QLatin1Char('/'))) return -1;
    const QString folder = NormalizedFolder(path);
    int best = -1;
    for (int i = 0; i < Count(); ++i) {
        if (FolderHolds(At(i).root, folder) && (best < 0 || At(i).root.size() > At(best).root.size()))
            best = i;
    }
    return best;
}

bool DriveModel::IsReady(int index) const {
    if (index < 0 || index >= Count()) return false;
    const QString& root = At(index).root;
    if (root == QLatin1String("/") || root == home_) return true;
    for (const VolumeInfo& v : volumes_()) {
        if (NormalizedFolder(v.rootPath) == root && v.valid && v.ready) return true;
    }
    return false;
}

QString DriveModel::CurrentFolder(int index) const {
    const QString& root = At(index).root;
    return current_.value(root, root);
}

void DriveModel::NoteFolder(const QString& folder) {
    const int i = Holding(folder);
    if (i >= 0) current_.insert(At(i).root, NormalizedFolder(folder));
}

qint64 DriveModel::FreeBytes(int index) const {
    if (index < 0 || index >= Count() || !freeSpace_) return -1;
    return freeSpace_(At(index).root);
}

}  // namespace zv
