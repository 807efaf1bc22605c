#pragma once
// The conversion table: one row per selected file, four parallel columns, and
// the two folder fields. Rebuilt from scratch by every run.

#include <string>
#include <vector>

namespace zv {

// A job holds at most this many files (the file list's 16-bit row count).
inline constexpr int kMaxRows = 32767;

struct ConversionTable {
    std::u16string sourcePath;       // Lbl_TestPath1, ends in the separator
    std::u16string destinationPath;  // Lbl_TestPath2, ends in the separator
    std::vector<std::u16string> selected;  // Lst_Test1: name as listed
    std::vector<std::u16string> base;      // Lst_Test2: the name before its extension part
    std::vector<std::u16string> extension; // Lst_Test3: ".jpg", ".jpeg", "" (SplitName)
    std::vector<std::u16string> newName;   // Lst_Test4
    // Set by the duplicate check: renaming in place, some new name is the
    // current name of a row, so the order of the renames matters.
    bool namesHandedOn = false;

    void ClearColumns() {
        selected.clear();
        base.clear();
        extension.clear();
        newName.clear();
        namesHandedOn = false;
    }
};

}  // namespace zv
