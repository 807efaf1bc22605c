// The POSIX registry: one ".reg" file per root key in
// $XDG_CONFIG_HOME/zorvik/registry/ (default ~/.config/zorvik/registry/).
//
// Readers take the file as it stands: it is only ever replaced whole by a
// rename, so they see the old or the new state, never a mix. Every change
// runs under an exclusive flock on a lock file beside it (the data file
// itself cannot carry the lock, as the rename swaps it), re-reads the file
// inside the lock, and writes a temporary file that is synced before it
// replaces the old one. Two programs changing the registry at once therefore
// lose nothing, and a crash leaves the old or the new file.

#include "shared/Registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <string_view>

#include "shared/posix/RegFile.h"
#include "shared/posix/UserFolders.h"

namespace zv::reg {

using detail::RegNode;
using detail::RegValue;

namespace {

struct OpenKeyInfo {
    HKey root;
    std::vector<std::u16string> path;
    std::uint32_t access;
};

std::mutex gMutex;
std::map<HKey, OpenKeyInfo> gHandles;
HKey gNextHandle = 0x1000;

const char* RootFileName(HKey root) {
    switch (root) {
        case kClassesRoot:
            return "HKEY_CLASSES_ROOT";
        case kCurrentUser:
            return "HKEY_CURRENT_USER";
        case kLocalMachine:
            return "HKEY_LOCAL_MACHINE";
        case kUsers:
            return "HKEY_USERS";
        case kCurrentConfig:
            return "HKEY_CURRENT_CONFIG";
    }
    return nullptr;
}

std::string RegistryFolder() { return posix::ZorvikFolder("XDG_CONFIG_HOME", ".config", "registry"); }

using posix::MakeFolders;

// The key a handle stands for: its root, path and rights.
long Resolve(HKey key, OpenKeyInfo& info) {
    if (RootFileName(key)) {
        info = {key, {}, kKeyAllAccess};
        return kSuccess;
    }
    std::lock_guard lock(gMutex);
    auto it = gHandles.find(key);
    if (it == gHandles.end()) return kInvalidHandle;
    info = it->second;
    return kSuccess;
}

long SplitPath(std::u16string_view subKey, std::vector<std::u16string>& parts) {
    if (subKey.empty()) return kSuccess;
    std::size_t start = 0;
    for (;;) {
        std::size_t sep = subKey.find(u'\\', start);
        std::u16string_view part = subKey.substr(start, sep == std::u16string_view::npos ? sep : sep - start);
        if (part.empty()) return kBadPathname;
        if (part.size() > kMaxKeyNameLength || !detail::IsStorableName(part)) return kInvalidParameter;
        parts.emplace_back(part);
        if (sep == std::u16string_view::npos) return kSuccess;
        start = sep + 1;
    }
}

std::u16string RootName(HKey root) {
    std::string_view name = RootFileName(root);
    return std::u16string(name.begin(), name.end());
}

std::string FilePath(HKey root) { return RegistryFolder() + "/" + RootFileName(root) + ".reg"; }

long Load(HKey root, RegNode& tree) {
    std::string folder = RegistryFolder();
    if (folder.empty()) return kCantRead;
    int fd = open(FilePath(root).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? kSuccess : kCantRead;
    std::string text;
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            return kCantRead;
        }
        if (n == 0) break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    close(fd);
    return detail::ParseRegText(text, RootName(root), tree) ? kSuccess : kBadDb;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The file the registry text really lives in: a link (a dotfiles folder, for
// one) is followed, so the link stays and its target takes the new text.
std::string RealFilePath(const std::string& path) {
    std::string real = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(real.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return real;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = readlink(real.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size()) return {};
        target.resize(static_cast<std::size_t>(n));
        if (target.empty()) return {};
        real = target[0] == '/' ? target : real.substr(0, real.rfind('/') + 1) + target;
    }
    return {};  // a loop of links
}

long Store(HKey root, const RegNode& tree) {
    const std::string target = RealFilePath(FilePath(root));
    if (target.empty()) return kCantWrite;
    // A store file made read-only is the user's wish: it is not replaced.
    // An existing one keeps its permissions.
    mode_t mode = 0600;
    struct stat st;
    if (stat(target.c_str(), &st) == 0) {
        if ((st.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0) return kCantWrite;
        mode = st.st_mode & 07777;
    }
    const std::string folder = target.substr(0, target.rfind('/') + 1);
    std::string temp = target + ".tmp";
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return kCantWrite;
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, detail::WriteRegText(tree, RootName(root))) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.c_str(), target.c_str()) != 0) {
        unlink(temp.c_str());
        return kCantWrite;
    }
    int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return kSuccess;
}

// Runs change on the current state of the root's file under the exclusive
// lock and stores the result when change reports it altered something.
long Modify(HKey root, const std::function<long(RegNode&, bool&)>& change) {
    std::string folder = RegistryFolder();
    if (folder.empty() || !MakeFolders(folder)) return kCantWrite;
    std::string lockPath = folder + "/" + RootFileName(root) + ".lock";
    int lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0) return kCantWrite;
    int rc;
    while ((rc = flock(lockFd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (rc != 0) {
        close(lockFd);
        return kCantWrite;
    }
    RegNode tree;
    long result = Load(root, tree);
    bool changed = false;
    if (result == kSuccess) result = change(tree, changed);
    if (result == kSuccess && changed) result = Store(root, tree);
    close(lockFd);  // releases the lock
    return result;
}

RegNode* Find(RegNode& tree, const std::vector<std::u16string>& path) {
    RegNode* node = &tree;
    for (const auto& part : path) {
        node = node->Child(part);
        if (!node) return nullptr;
    }
    return node;
}

// The node of an open key inside a freshly loaded tree.
long Locate(const OpenKeyInfo& info, RegNode& tree, RegNode*& node) {
    node = Find(tree, info.path);
    return node ? kSuccess : kKeyDeleted;
}

HKey NewHandle(HKey root, std::vector<std::u16string> path, std::uint32_t access) {
    std::lock_guard lock(gMutex);
    HKey handle = gNextHandle;
    gNextHandle += 4;
    gHandles[handle] = {root, std::move(path), access};
    return handle;
}

// Resolves key plus a relative sub key into an absolute key.
long Target(HKey key, std::u16string_view subKey, OpenKeyInfo& info) {
    long rc = Resolve(key, info);
    if (rc != kSuccess) return rc;
    return SplitPath(subKey, info.path);
}

// Loads the tree of an open key and finds the key, checking one right.
long Read(HKey key, std::uint32_t right, RegNode& tree, RegNode*& node) {
    OpenKeyInfo info;
    long rc = Resolve(key, info);
    if (rc != kSuccess) return rc;
    if ((info.access & right) != right) return kAccessDenied;
    if ((rc = Load(info.root, tree)) != kSuccess) return rc;
    return Locate(info, tree, node);
}

}  // namespace

long OpenKey(HKey root, std::u16string_view subKey, std::uint32_t access, HKey* result) {
    if (!result) return kInvalidParameter;
    *result = 0;
    OpenKeyInfo info;
    long rc = Target(root, subKey, info);
    if (rc != kSuccess) return rc;
    RegNode tree;
    if ((rc = Load(info.root, tree)) != kSuccess) return rc;
    if (!Find(tree, info.path)) {
        // A handle whose own key is gone answers differently from a missing sub key.
        OpenKeyInfo base;
        Resolve(root, base);
        return Find(tree, base.path) ? kFileNotFound : kKeyDeleted;
    }
    *result = NewHandle(info.root, std::move(info.path), access);
    return kSuccess;
}

long CreateKey(HKey root, std::u16string_view subKey, std::uint32_t access, HKey* result, bool* created) {
    if (!result) return kInvalidParameter;
    *result = 0;
    OpenKeyInfo base;
    long rc = Resolve(root, base);
    if (rc != kSuccess) return rc;
    if (!subKey.empty() && (base.access & kKeyCreateSubKey) == 0) return kAccessDenied;
    OpenKeyInfo info = base;
    if ((rc = SplitPath(subKey, info.path)) != kSuccess) return rc;
    bool isNew = false;
    rc = Modify(info.root, [&](RegNode& tree, bool& changed) {
        RegNode* node = Find(tree, base.path);
        if (!node) return long{kKeyDeleted};
        for (std::size_t i = base.path.size(); i < info.path.size(); ++i) {
            bool made = false;
            node = node->AddChild(info.path[i], &made);
            isNew = made;
            changed = changed || made;
        }
        return long{kSuccess};
    });
    if (rc != kSuccess) return rc;
    if (created) *created = isNew;
    *result = NewHandle(info.root, std::move(info.path), access);
    return kSuccess;
}

long CloseKey(HKey key) {
    if (RootFileName(key)) return kSuccess;
    std::lock_guard lock(gMutex);
    return gHandles.erase(key) ? kSuccess : kInvalidHandle;
}

long DeleteKey(HKey root, std::u16string_view subKey) {
    OpenKeyInfo info;
    long rc = Target(root, subKey, info);
    if (rc != kSuccess) return rc;
    if (info.path.empty()) return kAccessDenied;
    return Modify(info.root, [&](RegNode& tree, bool& changed) {
        std::vector<std::u16string> parentPath(info.path.begin(), info.path.end() - 1);
        RegNode* parent = Find(tree, parentPath);
        RegNode* node = parent ? parent->Child(info.path.back()) : nullptr;
        if (!node) return long{kFileNotFound};
        if (!node->children.empty()) return long{kAccessDenied};
        parent->children.erase(detail::FoldName(info.path.back()));
        changed = true;
        return long{kSuccess};
    });
}

long QueryValue(HKey key, std::u16string_view name, std::uint32_t* type, std::vector<std::uint8_t>* data) {
    RegNode tree;
    RegNode* node = nullptr;
    long rc = Read(key, kKeyQueryValue, tree, node);
    if (rc != kSuccess) return rc;
    const RegValue* value = node->FindValue(name);
    if (!value) return kFileNotFound;
    if (type) *type = value->type;
    if (data) *data = value->data;
    return kSuccess;
}

long SetValue(HKey key, std::u16string_view name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
    OpenKeyInfo info;
    long rc = Resolve(key, info);
    if (rc != kSuccess) return rc;
    if ((info.access & kKeySetValue) == 0) return kAccessDenied;
    if (name.size() > kMaxValueNameLength || !detail::IsStorableName(name)) return kInvalidParameter;
    return Modify(info.root, [&](RegNode& tree, bool& changed) {
        RegNode* node = nullptr;
        long found = Locate(info, tree, node);
        if (found != kSuccess) return found;
        RegValue* value = node->FindValue(name);
        if (!value) {
            node->values.push_back({std::u16string(name), type, data});
        } else {
            value->type = type;
            value->data = data;
        }
        changed = true;
        return long{kSuccess};
    });
}

long DeleteValue(HKey key, std::u16string_view name) {
    OpenKeyInfo info;
    long rc = Resolve(key, info);
    if (rc != kSuccess) return rc;
    if ((info.access & kKeySetValue) == 0) return kAccessDenied;
    return Modify(info.root, [&](RegNode& tree, bool& changed) {
        RegNode* node = nullptr;
        long found = Locate(info, tree, node);
        if (found != kSuccess) return found;
        std::u16string folded = detail::FoldName(name);
        for (auto it = node->values.begin(); it != node->values.end(); ++it) {
            if (detail::FoldName(it->name) == folded) {
                node->values.erase(it);
                changed = true;
                return long{kSuccess};
            }
        }
        return long{kFileNotFound};
    });
}

long EnumKey(HKey key, std::uint32_t index, std::u16string* name) {
    RegNode tree;
    RegNode* node = nullptr;
    long rc = Read(key, kKeyEnumerateSubKeys, tree, node);
    if (rc != kSuccess) return rc;
    if (index >= node->children.size()) return kNoMoreItems;
    auto it = node->children.begin();
    std::advance(it, index);
    if (name) *name = it->second->name;
    return kSuccess;
}

long EnumValue(HKey key, std::uint32_t index, std::u16string* name, std::uint32_t* type) {
    RegNode tree;
    RegNode* node = nullptr;
    long rc = Read(key, kKeyQueryValue, tree, node);
    if (rc != kSuccess) return rc;
    if (index >= node->values.size()) return kNoMoreItems;
    if (name) *name = node->values[index].name;
    if (type) *type = node->values[index].type;
    return kSuccess;
}

}  // namespace zv::reg
