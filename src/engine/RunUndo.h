#pragma once
// Taking a run back: the 元に戻す button and Ctrl+Z (the newest run, complete
// or not) and the question at start-up about a run that never completed.
//
// Nothing here trusts the journal's marks alone: each row is looked up on
// disk by the identity of its file, so a row whose mark was lost in a crash is
// found all the same, and a file that someone else has put under a name since
// is never taken for ours. Undo never replaces a file; what it cannot put back
// it leaves where it is and reports. It writes a journal of its own, so an
// undo can itself be taken back (once: the redo cannot).

#include <optional>
#include <string>
#include <vector>

#include "engine/Journal.h"
#include "engine/RunView.h"
#include "shared/Clock.h"
#include "shared/EventPump.h"
#include "shared/FileSystem.h"
#include "shared/JournalStore.h"
#include "shared/MessageBox.h"

namespace zv {

class RunUndo {
  public:
    struct Ports {
        FileSystem& files;
        JournalStore& journals;
        MessageBoxService& messages;
        EventPump& events;
        ProgressWindow& progress;
        Clock& clock;
    };

    // What taking one row back means, found by looking at the disk.
    enum class Step {
        kRenameBack,  // the file is under its new (or intermediate) name
        kStampsOnly,  // the name did not change; time and attributes did
        kRemoveCopy,  // a copy the run made, still exactly as made
        kRecopy,      // (undoing an undo) a copy that was removed is made again
    };
    struct Action {
        std::size_t row;
        Step step;
        std::u16string at;    // where the file is now
        std::u16string back;  // where it goes (for kRemoveCopy: unused)
        bool atVia = false;   // "at" is the row's intermediate name
    };

    explicit RunUndo(Ports ports) : p_(ports) {}

    // The journal the undo button would take back, if any.
    std::optional<std::string> LastRun();
    // The button: question, undo, report. Returns true when anything changed.
    bool UndoLast();
    // Start-up: each run that never completed is reported and the user asked
    // whether to take its done rows back; either way its journal is closed.
    // Returns true when anything changed.
    bool RecoverInterrupted();

    // The rows of a journal that are done on disk, newest first.
    std::vector<Action> Analyse(const Journal& journal);

    struct Outcome {
        bool started = false;  // false: its journal could not be written, nothing touched
        std::size_t restored = 0;
        std::vector<std::pair<std::u16string, int>> refused;  // path, FsCode
    };
    Outcome TakeBack(const std::string& name, const Journal& journal, const std::vector<Action>& actions);

  private:
    std::optional<Journal> Load(const std::string& name);
    void Report(const Outcome& outcome, const std::u16string& title);
    void RestoreStamps(const Journal& j, const JournalRow& row, const std::u16string& path,
                       std::vector<std::pair<std::u16string, int>>& refused);

    Ports p_;
};

}  // namespace zv
