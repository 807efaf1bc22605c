// Journals in $XDG_STATE_HOME/zorvik/journal (default ~/.local/state). A
// writer holds an flock on its file for as long as it lives, which the kernel
// drops when the process dies: that is how a journal of a run that is still
// going (jobrun beside ZVNUM) is told from the journal of a run that died.
#include "shared/JournalStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "UserFolders.h"
#include "shared/NativeName.h"

namespace zv {

namespace {

std::string JournalFolder() { return posix::ZorvikFolder("XDG_STATE_HOME", ".local/state", "journal"); }

using posix::MakeFolders;

// Names are the engine's own (digits and a suffix); anything that could
// leave the folder is refused.
bool PlainName(const std::string& name) {
    return !name.empty() && name[0] != '.' && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool SyncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
}

class PosixJournalWriter final : public JournalWriter {
  public:
    PosixJournalWriter(int fd, std::string folder) : fd_(fd), folder_(std::move(folder)) {}
    ~PosixJournalWriter() override {
        Flush();
        ::close(fd_);  // drops the lock
    }

    bool Write(std::string_view text) override {
        buffer_.append(text);
        // Large plans go out in pieces; only Sync promises anything.
        return buffer_.size() < (std::size_t{1} << 20) || Flush();
    }

    bool Sync() override {
        if (!Flush() || ::fdatasync(fd_) != 0) return false;
        // The first sync also makes the file's name durable.
        if (!named_) named_ = SyncFolder(folder_);
        return named_;
    }

  private:
    bool Flush() {
        bool ok = WriteAll(fd_, buffer_);
        buffer_.clear();
        return ok;
    }

    int fd_;
    std::string folder_;
    std::string buffer_;
    bool named_ = false;
};

class PosixJournalStore final : public JournalStore {
  public:
    std::unique_ptr<JournalWriter> Create(const std::string& name) override {
        const std::string folder = JournalFolder();
        if (folder.empty() || !PlainName(name) || !MakeFolders(folder)) return nullptr;
        int fd = ::open((folder + "/" + name).c_str(), O_CREAT | O_EXCL | O_WRONLY | O_APPEND | O_CLOEXEC, 0600);
        if (fd < 0) return nullptr;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<PosixJournalWriter>(fd, folder);
    }

    std::vector<std::string> List() override {
        std::vector<std::string> names;
        DIR* dir = ::opendir(JournalFolder().c_str());
        if (!dir) return names;
        while (const dirent* e = ::readdir(dir))
            if (PlainName(e->d_name)) names.emplace_back(e->d_name);
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::optional<std::string> Read(const std::string& name) override {
        if (!PlainName(name)) return std::nullopt;
        int fd = ::open((JournalFolder() + "/" + name).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) return std::nullopt;
        std::string text;
        char buf[1 << 16];
        for (;;) {
            ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ::close(fd);
                if (n < 0) return std::nullopt;
                return text;
            }
            text.append(buf, static_cast<std::size_t>(n));
        }
    }

    bool Append(const std::string& name, std::string_view text) override {
        if (!PlainName(name)) return false;
        int fd = ::open((JournalFolder() + "/" + name).c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) return false;
        bool ok = WriteAll(fd, text) && ::fdatasync(fd) == 0;
        ::close(fd);
        return ok;
    }

    bool Remove(const std::string& name) override {
        return PlainName(name) && ::unlink((JournalFolder() + "/" + name).c_str()) == 0;
    }

    bool InUse(const std::string& name) override {
        if (!PlainName(name)) return false;
        int fd = ::open((JournalFolder() + "/" + name).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) return false;
        bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        ::close(fd);
        return held;
    }

    std::u16string Location() override { return FromNative(JournalFolder()); }
};

}  // namespace

JournalStore& NativeJournalStore() {
    static PosixJournalStore store;
    return store;
}

}  // namespace zv
