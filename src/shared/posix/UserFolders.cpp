#include "UserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace zv::posix {

std::string ZorvikFolder(const char* variable, const char* underHome, const char* leaf) {
    const char* xdg = std::getenv(variable);
    std::string base;
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !home[0]) {
            const passwd* pw = getpwuid(getuid());
            home = pw ? pw->pw_dir : nullptr;
        }
        if (!home || !home[0]) return {};
        base = std::string(home) + "/" + underHome;
    }
    return base + "/zorvik/" + leaf;
}

bool MakeFolders(const std::string& path) {
    for (std::size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos < path.size() && path[pos] != '/') continue;
        if (::mkdir(path.substr(0, pos).c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

}  // namespace zv::posix
