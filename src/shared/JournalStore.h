#pragma once
// Where the journals of real runs are kept: one file per run in the user's
// state folder ($XDG_STATE_HOME/zorvik/journal, or the local application data
// folder on Windows). The engine decides what goes into a journal; this layer
// only creates, appends, syncs, lists, reads and removes them.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

// One journal being written. Write buffers; Sync puts everything written so
// far on disk and returns only when it is there. A journal stays marked "in
// use" until its writer goes, so another process never takes it for the
// journal of a run that died.
class JournalWriter {
  public:
    virtual ~JournalWriter() = default;
    virtual bool Write(std::string_view text) = 0;
    virtual bool Sync() = 0;
};

class JournalStore {
  public:
    virtual ~JournalStore() = default;
    // Creates a new journal of this name; nullptr when it cannot be made
    // (also when the name is taken).
    virtual std::unique_ptr<JournalWriter> Create(const std::string& name) = 0;
    // The names of the journals kept, in name order.
    virtual std::vector<std::string> List() = 0;
    virtual std::optional<std::string> Read(const std::string& name) = 0;
    // Appends a line to a journal that is no longer being written, synced.
    virtual bool Append(const std::string& name, std::string_view text) = 0;
    virtual bool Remove(const std::string& name) = 0;
    // True while a writer (of this or another process) holds the journal.
    virtual bool InUse(const std::string& name) = 0;
    // The folder, for messages and tests.
    virtual std::u16string Location() = 0;
};

// The store of this platform, in the user's state folder.
JournalStore& NativeJournalStore();

}  // namespace zv
