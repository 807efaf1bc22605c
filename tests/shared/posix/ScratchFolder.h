#pragma once
// A temporary folder on the real disk for tests that change files, removed
// with everything in it (and everything mounted in it) at the end.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zv::test {

// An environment variable set for the life of the object, then put back; the
// time zone is read again both ways, as TZ may be the one set.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
        ::tzset();
    }
    ~ScopedEnv() {
        old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_);
        ::tzset();
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zvtest-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) root_ = pattern;
    }
    ~ScratchFolder() {
        // A plain unmount first: a FUSE driver then ends and frees its loop
        // device before the image goes.
        for (auto it = mounts_.rbegin(); it != mounts_.rend(); ++it)
            if (::umount2(it->c_str(), 0) != 0) ::umount2(it->c_str(), MNT_DETACH);
        if (root_.empty()) return;
        MakeWritable(root_);
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    bool ok() const { return !root_.empty(); }
    const std::string& root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + "/" + relative; }

    std::string Folder(const std::string& relative) const {
        std::filesystem::create_directories(Path(relative));
        return Path(relative);
    }

    // A small tmpfs of its own (another file system, or one that fills up
    // quickly), or a ramfs: no size limit, no extended attributes, no access
    // lists. Empty when mounting is not permitted (not root).
    std::string MountTmpfs(const std::string& relative, std::size_t bytes) {
        return MountKernel(relative, "tmpfs", "size=" + std::to_string(bytes));
    }
    std::string MountRamfs(const std::string& relative) { return MountKernel(relative, "ramfs", ""); }

    // A small exFAT volume (exfatprogs, exfat-fuse) on a loop device over an
    // image file: a file system that ignores case, as USB sticks do. Empty
    // when it cannot be made here.
    std::string MountExfat(const std::string& relative, std::size_t bytes) {
        return MountImage(relative, bytes, "mkfs.exfat", "mount -o loop -t exfat-fuse");
    }

    // An NTFS image made with mkntfs and mounted with ntfs-3g (FUSE). Empty
    // when the tools are missing or FUSE cannot be used.
    std::string MountNtfs(const std::string& relative, std::size_t bytes) {
        return MountImage(relative, bytes, "mkntfs -F -q -f", "ntfs-3g");
    }

    // A bindfs (FUSE) view of another folder of the scratch folder; FUSE
    // offers no O_TMPFILE, so copies take the named temporary file.
    std::string MountBindfs(const std::string& relative, const std::string& under) {
        const std::string where = Folder(relative);
        return Mounted(where, Run("bindfs '" + Folder(under) + "' '" + where + "'"));
    }

    static bool RemountReadOnly(const std::string& where) {
        return ::mount(nullptr, where.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

    // Names in a folder (hidden ones too), sorted.
    static std::set<std::string> Names(const std::string& folder) {
        std::set<std::string> names;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(folder, ec))
            names.insert(e.path().filename().string());
        return names;
    }

    static void Write(const std::string& path, const std::string& content) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Content that differs at every position, so a truncated or misplaced
    // block shows.
    static std::string Pattern(std::size_t size, unsigned seed = 1) {
        std::string s(size, '\0');
        for (unsigned x = seed * 2654435761u + 1; auto& c : s)
            c = static_cast<char>((x = x * 1103515245u + 12345u) >> 16);
        return s;
    }

    static std::string Xattr(const std::string& path, const char* name) {
        char buf[256];
        ssize_t n = ::getxattr(path.c_str(), name, buf, sizeof buf);
        return n < 0 ? std::string("<none>") : std::string(buf, static_cast<std::size_t>(n));
    }

    static bool IsRoot() { return ::geteuid() == 0; }

    // Whether files in the folder can carry user extended attributes (tmpfs
    // only can since Linux 6.6).
    static bool HoldsXattrs(const std::string& folder) {
        const std::string probe = folder + "/.xattr-probe";
        Write(probe, "");
        const bool ok = ::setxattr(probe.c_str(), "user.probe", "1", 1, 0) == 0;
        ::unlink(probe.c_str());
        return ok;
    }

  private:
    // The folder, kept to be unmounted, when the mount worked; else empty.
    std::string Mounted(const std::string& where, bool ok) {
        if (ok) mounts_.push_back(where);
        return ok ? where : std::string();
    }
    std::string MountKernel(const std::string& relative, const char* type, const std::string& options) {
        const std::string where = Folder(relative);
        return Mounted(where, ::mount("zvtest", where.c_str(), type, 0, options.c_str()) == 0);
    }
    static bool Run(const std::string& command) {
        return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    }

    // An image file of that size, formatted with make and mounted with mount.
    std::string MountImage(const std::string& relative, std::size_t bytes, const std::string& make,
                           const std::string& mount) {
        const std::string image = Path(relative + ".img"), where = Folder(relative);
        return Mounted(where, Run("truncate -s " + std::to_string(bytes) + " '" + image + "'") &&
                                  Run(make + " '" + image + "'") &&
                                  Run(mount + " '" + image + "' '" + where + "'"));
    }

    static void MakeWritable(const std::string& folder) {
        ::chmod(folder.c_str(), 0700);
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(folder, ec))
            if (e.is_directory(ec) && !e.is_symlink(ec)) MakeWritable(e.path().string());
    }

    std::string root_;
    std::vector<std::string> mounts_;
};

// The file holds exactly these bytes (reports sizes, not the data itself).
inline testing::AssertionResult HoldsData(const std::string& path, const std::string& expected) {
    const std::string got = ScratchFolder::Read(path);
    if (got == expected) return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << path << " holds " << got.size() << " bytes, expected " << expected.size()
           << (got.size() == expected.size() ? " (other data)" : "");
}

}  // namespace zv::test
