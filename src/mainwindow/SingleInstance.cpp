#include "SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace zv {

SingleInstance::SingleInstance(const QString& name, const QString& folder) {
    QString dir = folder;
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    path_ = QDir(dir).filePath(name + QStringLiteral(".lock"));
    lock_ = std::make_unique<QLockFile>(path_);
    // Age alone never makes a lock stale: the first instance may run for days.
    // A lock whose process has ended is still recognised and taken over.
    lock_->setStaleLockTime(0);
}

bool SingleInstance::Acquire() { return lock_->isLocked() || lock_->tryLock(0); }

}  // namespace zv
