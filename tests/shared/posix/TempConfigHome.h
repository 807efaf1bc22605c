#pragma once
// Points XDG_CONFIG_HOME at a fresh temporary folder for the life of the
// object, so registry tests never touch the user's real settings.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace zv::test {

class TempConfigHome {
  public:
    TempConfigHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zvreg-XXXXXX").string();
        root_ = mkdtemp(pattern.data()) ? pattern : "";
        if (const char* old = getenv("XDG_CONFIG_HOME")) old_ = old;
        setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
    }
    ~TempConfigHome() {
        old_ ? setenv("XDG_CONFIG_HOME", old_->c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    TempConfigHome(const TempConfigHome&) = delete;
    TempConfigHome& operator=(const TempConfigHome&) = delete;

    std::filesystem::path Root() const { return root_; }
    std::filesystem::path Folder() const { return std::filesystem::path(root_) / "zorvik" / "registry"; }
    // The file of one root key, e.g. "HKEY_CURRENT_USER".
    std::filesystem::path File(const std::string& rootName) const { return Folder() / (rootName + ".reg"); }

    void Write(const std::string& rootName, const std::string& text) const {
        std::filesystem::create_directories(Folder());
        std::ofstream(File(rootName), std::ios::binary) << text;
    }
    std::string Read(const std::string& rootName) const { return Text(File(rootName)); }
    static std::string Text(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

  private:
    std::string root_;
    std::optional<std::string> old_;
};

}  // namespace zv::test
