#pragma once
// The rename engine: builds the conversion table from the job settings, makes
// the new names, checks them, and (for a real run) carries the table out.
//
// Step results are step flags: -1 go on, 0 stop. A step that returns 0 has
// already told the user why.

#include <cstdint>
#include <string>

#include "ConversionTable.h"
#include "JobSettings.h"
#include "RunView.h"
#include "shared/Clock.h"
#include "shared/EventPump.h"
#include "shared/FileSystem.h"
#include "shared/MessageBox.h"

namespace zv {

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
    StepFlag ExecuteConversion();

    const ConversionTable& Table() const { return table_; }

private:
    EnginePorts p_;
    ConversionTable table_;
};

}  // namespace zv
