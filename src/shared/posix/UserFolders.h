#pragma once
// The per-user folders of the XDG base directory rules, for Zorvik's own
// files (the registry file, the journals of real runs).

#include <string>

namespace zv::posix {

// $<variable>/zorvik/<leaf> when the variable holds an absolute path, else
// $HOME/<underHome>/zorvik/<leaf>; empty when no home folder is known.
std::string ZorvikFolder(const char* variable, const char* underHome, const char* leaf);

// Creates the folder and its parents (mode 0700 for new ones).
bool MakeFolders(const std::string& path);

}  // namespace zv::posix
