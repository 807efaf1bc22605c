#pragma once
// The source drive and folder ZVNUM remembers between runs, in the settings
// store (application "Zorvik", section "Setting", keys "DRIVE" and "PATH").

#include <string>

#include "shared/FileSystem.h"

namespace zv {

struct StartFolders {
    std::u16string drive;
    std::u16string path;
    // The stored folder was missing or gone, so the program folder is used.
    bool fellBack = false;
    // Non-zero when the store could not be read (a damaged registry file):
    // the program folder is used and the caller tells the user.
    long error = 0;
};

class StartupSettings {
  public:
    explicit StartupSettings(FileSystem& files) : files_(files) {}

    // What the next start opens: the stored drive and folder, or the program
    // folder for both when nothing is stored, the folder no longer exists or
    // the store cannot be read.
    StartFolders Load(const std::u16string& programFolder);

    // Stores DRIVE, then PATH. Answers the registry's error number (0 on
    // success); a damaged store is left as it is.
    long Save(const std::u16string& drive, const std::u16string& path);

  private:
    FileSystem& files_;
};

}  // namespace zv
