#pragma once
// What a run shows the user besides message boxes: the progress window, the
// result list and the state of the main window afterwards. The main window
// implements it with its widgets; jobrun records what happens.

#include <cstddef>
#include <string>

namespace zv {

class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    // Loads and shows the window if it is not shown yet (hourglass pointer on).
    virtual void Open() = 0;
    // Sets the phase caption ("チェック中", "変換中", "書き込み中").
    virtual void SetPhase(const std::u16string& phase) = 0;
    // Unloads the window (default pointer again). Harmless when not open.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // A bar of rows done out of rows while files are written; with
    // cancellable also the 中止 button.
    virtual void ShowProgress(std::size_t done, std::size_t total, bool cancellable) {
        (void)done, (void)total, (void)cancellable;
    }
    // True once 中止 was pressed since the window opened.
    virtual bool CancelRequested() const { return false; }
};

class RunView {
public:
    virtual ~RunView() = default;

    // Lst_Kekka, the visible result list.
    virtual void ClearResults() = 0;
    virtual void AddResult(const std::u16string& name) = 0;
    virtual void RefreshResults() = 0;

    // After a real run: the source file list reads its folder again.
    // Returns false when that fails.
    virtual bool RefreshFileList() = 0;
    // DisableConversion: run buttons off, guidance asks for a new selection.
    virtual void DisableConversion() = 0;
};

}  // namespace zv
