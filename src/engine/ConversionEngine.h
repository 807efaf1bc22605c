#pragma once
// The rename engine: builds the conversion table from the job settings, makes
// the new names, checks them, and (for a real run) carries the table out.
//
// Step results are step flags: -1 go on, 0 stop. A step that returns 0 has
// already told the user why.

#include <cstdint>
#include <string>
#include <string_view>

#include "ConversionTable.h"
#include "JobSettings.h"
#include "RunView.h"
#include "shared/Clock.h"
#include "shared/EventPump.h"
#include "shared/FileSystem.h"
#include "shared/JournalStore.h"
#include "shared/MessageBox.h"

namespace zv {

class RunUndo;

using StepFlag = std::int16_t;
inline constexpr StepFlag kGoOn = -1;
inline constexpr StepFlag kStop = 0;

// Everything the engine talks to.
struct EnginePorts {
    JobSettings& settings;
    MessageBoxService& messages;
    EventPump& events;
    Clock& clock;
    FileSystem& files;
    ProgressWindow& progress;
    RunView& view;
    // Where real runs keep their journals; without one a run keeps none and
    // nothing can be taken back.
    JournalStore* journals = nullptr;
};

class ConversionEngine {
public:
    explicit ConversionEngine(EnginePorts ports) : p_(ports) {}

    // Cmd_Test_Click: the test run. Returns the pipeline's flag.
    StepFlag TestRun();
    // Cmd_Run_Click: question, pipeline, executor. Returns -1 only when every
    // row was carried out.
    StepFlag RealRun();

    // The pipeline shared by both runs. On -1 the progress window is still
    // open and the caller closes it; on 0 it is already closed.
    StepFlag RunConversion();

    // Pipeline steps, public so tests can drive them one by one.
    StepFlag CheckInputs();
    void BuildConversionTable();
    StepFlag CheckSystemFiles();
    StepFlag MakeNumberedNames();
    void MakeFixedStringNames();
    void MakeReplacedNames();
    StepFlag CheckNameLengths();
    StepFlag CheckDuplicateNames();
    // The real run's last look before anything is touched.
    StepFlag CheckSelectedEntries(bool copy, bool withTime, bool withAttributes, int mask,
                                  std::vector<FileIdentity>* numbers);
    StepFlag ExecuteConversion();

    // 元に戻す and Ctrl+Z: takes the last run back after a question. Returns
    // true when files changed.
    bool UndoLastRun();
    // At start-up: asks about each run that never completed. Returns true
    // when files changed.
    bool RecoverInterruptedRuns();
    // Whether there is a run that 元に戻す would take back.
    bool CanUndo();

    const ConversionTable& Table() const { return table_; }

    // True while a run is under way. The windows stay responsive during a run
    // (events are pumped once per file), so a second click must not start a
    // run that would rebuild the table under the first one.
    bool Running() const { return running_; }

private:
    // Marks a run for its whole length; a nested run is refused.
    class RunScope {
    public:
        explicit RunScope(bool& running) : running_(running), entered_(!running) { running_ = true; }
        ~RunScope() {
            if (entered_) running_ = false;
        }
        bool Entered() const { return entered_; }
        RunScope(const RunScope&) = delete;
        RunScope& operator=(const RunScope&) = delete;

    private:
        bool& running_;
        bool entered_;
    };

    bool TakeBack(bool (RunUndo::*step)());
    void ShowMessage(const std::u16string& prompt, const std::u16string& title);
    void FocusIfVisible(std::string_view control);
    // Jobs of this many rows show their checks' progress and can be stopped there.
    static constexpr std::size_t kBigJob = 1000;
    bool CheckGoesOn(std::size_t row, std::size_t rows);
    StepFlag CheckCancelled();

    EnginePorts p_;
    ConversionTable table_;
    bool running_ = false;
};

}  // namespace zv
