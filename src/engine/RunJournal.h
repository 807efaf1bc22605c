#pragma once
// Writes the journal of one run: the plan (synced before the first file is
// touched), the row marks (buffered, synced in batches) and the final mark.
// Keeps the last runs' journals and removes older ones.

#include <memory>
#include <string>
#include <vector>

#include "engine/Journal.h"
#include "shared/JournalStore.h"

namespace zv {

class RunJournal {
  public:
    // Journals kept in the store.
    static constexpr std::size_t kKept = 20;
    // Row marks written between two syncs. Recovery never relies on the
    // marks alone, so a lost batch only costs a look at the disk.
    static constexpr int kSyncEvery = 4096;

    explicit RunJournal(JournalStore& store) : store_(store) {}

    // Writes and syncs the plan under a new name. False when that failed:
    // then nothing may be touched.
    bool Begin(const Journal& plan);
    void Via(std::size_t row);
    void Done(std::size_t row, const FileIdentity* made = nullptr);
    // Syncs the marks written so far (a run that stops early).
    void Sync();
    // Marks the run complete and syncs.
    void Complete();
    // A run that stopped (a failure, 中止) while the program lives on: the
    // user has been told and 元に戻す can take it back, so no start-up
    // question is due.
    void Close();

    const std::string& Name() const { return name_; }

  private:
    void Mark(const std::string& line);
    void Prune();

    JournalStore& store_;
    std::unique_ptr<JournalWriter> writer_;
    std::string name_;
    int unsynced_ = 0;
};

// The plan of a real run over the conversion table: one row per file with
// the identity of its file now. op is kRename, kCopy or kMove; a move into a
// folder on another volume becomes kCross. `numbers`, when given, holds each
// row's device and file number as the last look at the folder found them.
Journal PlanRun(FileSystem& files, const std::u16string& source, const std::u16string& destination,
                const std::vector<std::u16string>& from, const std::vector<std::u16string>& to, JournalOp op,
                bool setsTime, bool setsAttributes, const LocalDateTime& now,
                const std::vector<FileIdentity>* numbers = nullptr);

// The name a new journal takes: one past the highest number in the store,
// so names sort in the order the runs started.
std::string NextJournalName(JournalStore& store);

}  // namespace zv
