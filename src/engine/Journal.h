#pragma once
// The journal of a real run (or of an undo): what it was about to do, written
// and synced before the first file is touched, then a mark per row done and a
// mark when it completed. Undo and recovery read it back and check the disk.
//
// The format is plain text, one record per line, fields separated by one
// space; names are the native bytes of the name with every byte outside
// '!'..'~' and every '%' written as %XX, so any name survives exactly:
//
//   zorvik-journal 1
//   kind run                        run | undo | redo
//   started 2024-03-07T09:05:03     local time
//   source /home/u/photos/          folder the rows' "from" names are in
//   destination /home/u/photos/     folder the rows' "to" (and "via") names are in
//   stamps time attributes          what the run set besides names (or "stamps")
//   undoes 0000000041.journal       (undo/redo only) the journal taken back
//   rows 2
//   row rename a.jpg b.jpg 2049 1234 5120 1709798703000000000 32
//   row copy c.jpg d.jpg 2049 1235 77 1709798703000000000 0 t%2Etmp
//   plan                            the plan is complete and synced
//   via 1                           row 1 reached its intermediate name
//   done 0                          row 0 is done
//   done 1 2049 1300 77 1709798703000000000 0    ... and made this file
//   complete                        every row was carried out
//   undone 0000000043.journal       taken back by that journal
//   closed                          the recovery question was answered
//
// A row: operation, old name, new name, then the file's device, file
// number, size, last-write time (platform units) and attributes before the
// row, and optionally an intermediate name the row passes through. Lines
// that are cut short (the program died while writing them) or unknown are
// ignored.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/Clock.h"
#include "shared/FileSystem.h"

namespace zv {

enum class JournalOp {
    kRename,  // within one folder
    kMove,    // into another folder on the same volume
    kCross,   // into another volume: copied, then the source removed
    kCopy,    // copied; the source stays
    kUncopy,  // (undo) a copy the run made was removed; its source is "to"
};

enum class JournalKind { kRun, kUndo, kRedo };

struct JournalRow {
    JournalOp op = JournalOp::kRename;
    std::u16string from, to, via;
    FileIdentity before;  // the file at "from" before the row
    // Read back from the marks.
    bool reachedVia = false;
    bool done = false;
    std::optional<FileIdentity> made;  // the file a copy or cross move made
};

struct Journal {
    JournalKind kind = JournalKind::kRun;
    LocalDateTime started;
    std::u16string source, destination;
    bool setsTime = false;
    bool setsAttributes = false;
    std::string undoes;
    std::vector<JournalRow> rows;
    // Read back from the marks.
    bool planned = false;
    bool complete = false;
    std::string undoneBy;
    bool closed = false;
    std::size_t DoneMarks() const;
};

std::string EscapeJournalName(std::u16string_view name);
std::u16string UnescapeJournalName(std::string_view field);

// Everything up to and including the "plan" line.
std::string FormatJournalPlan(const Journal& journal);
std::string FormatDoneMark(std::size_t row, const FileIdentity* made);
std::string FormatViaMark(std::size_t row);

// Reads a journal back. A journal without its "plan" line comes back with
// planned == false (its run touched nothing).
std::optional<Journal> ParseJournal(std::string_view text);

}  // namespace zv
