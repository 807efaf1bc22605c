#pragma once
// One running ZVNUM per user: a lock file in the user's runtime folder, held
// for the life of the process. A lock left by a process that has ended is
// taken over; a live holder keeps it however long it has been running.

#include <QLockFile>
#include <QString>
#include <memory>

namespace zv {

class SingleInstance {
  public:
    // name: the program's name, part of the lock file's name.
    // folder: where the lock lives; empty for the user's runtime folder.
    explicit SingleInstance(const QString& name, const QString& folder = QString());

    // True when this process now holds the lock (or already held it).
    bool Acquire();

    QString LockPath() const { return path_; }

  private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace zv
