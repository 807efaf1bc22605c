#pragma once
// Points XDG_CONFIG_HOME at a fresh scratch folder for the life of the
// object, so registry tests never touch the user's real settings.

#include "ScratchFolder.h"

namespace zv::test {

class TempConfigHome {
  public:
    std::filesystem::path Root() const { return scratch_.root(); }
    std::filesystem::path Folder() const { return Root() / "zorvik" / "registry"; }
    // The file of one root key, e.g. "HKEY_CURRENT_USER".
    std::filesystem::path File(const std::string& rootName) const { return Folder() / (rootName + ".reg"); }

    void Write(const std::string& rootName, const std::string& text) const {
        std::filesystem::create_directories(Folder());
        ScratchFolder::Write(File(rootName), text);
    }
    std::string Read(const std::string& rootName) const { return ScratchFolder::Read(File(rootName)); }

  private:
    ScratchFolder scratch_;
    ScopedEnv env_{"XDG_CONFIG_HOME", scratch_.root()};
};

}  // namespace zv::test
