#pragma once
// The order of the renames of one job. Files of a job often hand their names
// on to one another (001 -> 002 -> 003 ...): each name must be free when it is
// taken, and no step may ever replace a file. A chain runs from its free end;
// a ring of names (a -> b -> a, 1 -> 2 -> 3 -> 1) has no free end, so one of
// its files first steps aside under a temporary name, the rest of the ring
// follows, and that file takes its new name last.
//
// Names are compared without regard to case, as the duplicate check compares
// them: a name that differs from another only in case is the same name.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace zv {

struct RenameStep {
    enum Kind {
        kDirect,         // from its old name to its new one
        kToTemporary,    // from its old name to its temporary one
        kFromTemporary,  // from its temporary name to its new one
    };
    std::size_t row;
    Kind kind;
};

struct RenamePlan {
    // Every row once, a row that steps aside twice.
    std::vector<RenameStep> steps;
    // Per row: the temporary name (a bare name, in the folder of its new
    // name), or empty.
    std::vector<std::u16string> temporary;
};

// Temporary names start with this; nothing else of ours or a user's does.
inline constexpr char16_t kTemporaryPrefix[] = u".zorvik-cycle-";

// from[i] -> to[i] are names in one folder or full paths. A row whose name
// stays exactly as it is has nothing to wait for. taken(path) tells whether
// something holds a path in the file system; it is asked only about
// temporary names, which also never equal a new name of the job.
RenamePlan PlanRenames(const std::vector<std::u16string>& from, const std::vector<std::u16string>& to,
                       const std::function<bool(const std::u16string&)>& taken);

// The path of a row's temporary name: the folder part of its new name (or
// path) followed by the name.
std::u16string TemporaryPath(const std::u16string& to, const std::u16string& temporary);

}  // namespace zv
