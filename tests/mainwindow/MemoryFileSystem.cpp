#include "MemoryFileSystem.h"

#include <QString>
#include <algorithm>

namespace zv::test {

namespace {
std::u16string Parent(const std::u16string& path) {
    const size_t slash = path.rfind(u'/');
    return slash == 0 || slash == std::u16string::npos ? u"/" : path.substr(0, slash);
}
QString Folded(const std::u16string& s) {
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size())).toCaseFolded();
}
}  // namespace

void MemoryFileSystem::AddFolder(const std::u16string& path) {
    for (std::u16string p = path; p != u"/"; p = Parent(p)) folders_.insert(p);
}

void MemoryFileSystem::AddFile(const std::u16string& path) {
    AddFolder(Parent(path));
    files_.insert(path);
}

void MemoryFileSystem::Remove(const std::u16string& path) {
    auto below = [&](const std::u16string& p) { return p == path || p.rfind(path + u"/", 0) == 0; };
    std::erase_if(folders_, below);
    std::erase_if(files_, below);
}

std::vector<std::u16string> MemoryFileSystem::Children(const std::set<std::u16string>& from,
                                                       const std::u16string& folder) {
    std::vector<std::u16string> out;
    if (!FolderExists(folder)) return out;
    for (const std::u16string& p : from) {
        if (p == folder || Parent(p) != folder) continue;
        std::u16string name = p.substr(p.rfind(u'/') + 1);
        if (!name.empty() && name[0] != u'.') out.push_back(name);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const auto& a, const auto& b) { return Folded(a) < Folded(b); });
    return out;
}

std::vector<std::u16string> MemoryFileSystem::ListFiles(const std::u16string& folder) {
    ++listCalls;
    return Children(files_, folder);
}

std::vector<std::u16string> MemoryFileSystem::ListFolders(const std::u16string& folder) {
    return Children(folders_, folder);
}

std::unique_ptr<NameLookup> MemoryFileSystem::OpenNameLookup(const std::u16string&) { return nullptr; }

}  // namespace zv::test
