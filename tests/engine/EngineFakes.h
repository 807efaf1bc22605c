#pragma once
// Stand-ins for everything the engine talks to, shared by the engine's tests
// (and the executor's). Each records what the engine did to it so a test can
// check the order and the texts.

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/ConversionEngine.h"
#include "engine/JobSettings.h"
#include "engine/RunView.h"
#include "shared/CaseFold.h"
#include "shared/Clock.h"
#include "shared/EventPump.h"
#include "shared/FileSystem.h"
#include "shared/JournalStore.h"
#include "shared/MessageBox.h"

namespace zv::test {

// Paths in the tests are written with "/"; the engine joins with the
// platform's separator, so each literal path is given in that form.
inline std::u16string OsPath(std::u16string path) {
    for (auto& c : path)
        if (c == u'/') c = kPathSeparator;
    return path;
}

// The main window's controls, keyed by control name ("Chk_syori(0)"). Starts
// with the values the window shows after start-up.
class FakeJobSettings final : public JobSettings {
  public:
    struct File {
        std::u16string name;
        bool selected = true;
    };

    FakeJobSettings() {
        texts_ = {{"F_Dir", OsPath(u"/src")},
                  {"A_Dir", OsPath(u"/src")},
                  {"Txt_B_text", u""},
                  {"Txt_A_text", u""},
                  {"Txt_Startnum", u"1"},
                  {"Lbl_up", u"1"},
                  {"Lbl_keta", u"1"},
                  {"Txt_YY", u"2024"},
                  {"Txt_MM", u"3"},
                  {"Txt_DD", u"7"},
                  {"Txt_H", u"9"},
                  {"Txt_M", u"5"},
                  {"Txt_S", u"3"}};
        values_ = {{"Chk_syori(0)", 0},  {"Chk_syori(1)", 0},   {"Chk_keta_lock", 1},  {"Opt_Han", -1},
                   {"Opt_Zen", 0},       {"Opt_Cpymov(0)", -1}, {"Opt_Cpymov(1)", 0},  {"Chk_DateLock", 0},
                   {"Chk_Attrib", 0},    {"Chk_Att_Set(0)", 0}, {"Chk_Att_Set(1)", 0}, {"Chk_Att_Set(2)", 0},
                   {"Chk_Att_Set(3)", 0}};
    }

    std::u16string Text(std::string_view control) const override {
        auto it = texts_.find(std::string(control));
        return it == texts_.end() ? std::u16string() : it->second;
    }
    void SetText(std::string_view control, const std::u16string& text) override {
        texts_[std::string(control)] = text;
    }
    int Value(std::string_view control) const override {
        auto it = values_.find(std::string(control));
        return it == values_.end() ? 0 : it->second;
    }
    void SetValue(std::string_view control, int value) { values_[std::string(control)] = value; }

    void SetFocus(std::string_view control) override { focus.emplace_back(control); }
    // As the mode selector does: the numbering group is hidden outside
    // numbering mode.
    bool IsVisible(std::string_view control) const override {
        static const std::set<std::string, std::less<>> numberingGroup = {
            "Chk_keta_lock", "Opt_Han", "Opt_Zen",       "Label4", "Lbl_keta",    "UpDown_Keta",
            "Label5",        "Lbl_up",  "UpDown_Zoubun", "Label6", "Txt_Startnum"};
        const bool numbering = Value("Chk_syori(0)") != 1 && Value("Chk_syori(1)") != 1;
        return numbering || !numberingGroup.count(control);
    }

    int FileCount() const override { return static_cast<int>(files.size()); }
    std::u16string FileName(int index) const override {
        return files.at(static_cast<std::size_t>(index)).name;
    }
    bool FileSelected(int index) const override { return files.at(static_cast<std::size_t>(index)).selected; }

    // Every name selected.
    void SelectAll(const std::vector<std::u16string>& names) {
        files.clear();
        for (const auto& n : names) files.push_back({n, true});
    }

    std::vector<File> files;
    std::vector<std::string> focus;  // every SetFocus, in order

  private:
    std::map<std::string, std::u16string> texts_;
    std::map<std::string, int> values_;
};

// Answers message boxes from a script: each box with a choice takes the next
// preset answer; without one (and for OK-only boxes) the first button.
class ScriptedMessageBox final : public MessageBoxService {
  public:
    struct Shown {
        std::u16string prompt;
        int buttons;
        std::u16string title;
        int answer;
    };

    int Show(const std::u16string& prompt, int buttons, const std::u16string& title) override {
        int answer = buttons == kYesNo ? kYes : kOk;
        if (buttons != kOkOnly && !answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        shown.push_back({prompt, buttons, title, answer});
        return answer;
    }

    std::deque<int> answers;
    std::vector<Shown> shown;
};

class CountingEventPump final : public EventPump {
  public:
    void DoEvents() override {
        ++count;
        if (onEvents) onEvents();
    }
    int count = 0;
    std::function<void()> onEvents;  // stands for what the user does meanwhile
};

// Records the progress window's life as "open", "phase:<caption>", "close".
class RecordingProgress final : public ProgressWindow {
  public:
    void Open() override {
        if (!open_) log.push_back(u"open");
        open_ = true;
    }
    void SetPhase(const std::u16string& phase) override {
        phases.push_back(phase);
        log.push_back(u"phase:" + phase);
    }
    void Close() override {
        if (open_) log.push_back(u"close");
        open_ = false;
    }
    bool IsOpen() const override { return open_; }
    void ShowProgress(std::size_t done, std::size_t total, bool cancellable) override {
        progress = {done, total};
        this->cancellable = cancellable;
    }
    bool CancelRequested() const override { return cancel; }

    std::vector<std::u16string> phases;
    std::vector<std::u16string> log;
    std::pair<std::size_t, std::size_t> progress;
    bool cancellable = false;
    bool cancel = false;  // 中止 pressed

  private:
    bool open_ = false;
};

class RecordingRunView final : public RunView {
  public:
    void ClearResults() override {
        results.clear();
        ++clears;
    }
    void AddResult(const std::u16string& name) override { results.push_back(name); }
    void RefreshResults() override { ++refreshes; }
    bool RefreshFileList() override {
        ++fileListRefreshes;
        return refreshFileListSucceeds;
    }
    void DisableConversion() override { ++disables; }

    std::vector<std::u16string> results;
    int clears = 0;
    int refreshes = 0;
    int fileListRefreshes = 0;
    int disables = 0;
    bool refreshFileListSucceeds = true;
};

// An in-memory file system. Paths are folder + "/" + name; folders are
// created on demand by AddFile. Every change is logged, and a failure can be
// planted for any path.
struct FakeFile {
    int attributes = kAttrArchive;
    LocalDateTime lastWrite{2000, 1, 1, 0, 0, 0};
    std::string content;
    std::uint64_t number = 0;  // the file number; 0: given one when added
    bool operator==(const FakeFile&) const = default;
};

// The moment a simulated power cut strikes: counts every change of a file
// and every journal sync, and throws Crash (which the engine does not catch)
// before or after the change numbered `at` takes effect.
struct Crash {};
struct CrashPoint {
    int at = -1;  // -1: never
    bool afterChange = false;
    int seen = 0;
    // Called around each change: before it (done = false) and after it.
    void Step(bool done) {
        if (!done && seen == at && !afterChange) throw Crash{};
        if (done && seen++ == at && afterChange) throw Crash{};
    }
};

// An in-memory journal store. What a writer has not synced is lost when it
// goes, as it would be in a power cut.
class FakeJournalStore final : public JournalStore {
  public:
    std::unique_ptr<JournalWriter> Create(const std::string& name) override {
        if (failCreate || journals.count(name)) return nullptr;
        journals[name];
        return std::make_unique<Writer>(*this, name);
    }
    std::vector<std::string> List() override {
        std::vector<std::string> names;
        for (const auto& [n, text] : journals) names.push_back(n);
        return names;
    }
    std::optional<std::string> Read(const std::string& name) override {
        auto it = journals.find(name);
        if (it == journals.end()) return std::nullopt;
        return it->second;
    }
    bool Append(const std::string& name, std::string_view text) override {
        if (!journals.count(name)) return false;
        journals[name] += text;
        return true;
    }
    bool Remove(const std::string& name) override { return journals.erase(name) != 0; }
    bool InUse(const std::string& name) override { return inUse.count(name) != 0; }
    std::u16string Location() override { return u"/state"; }

    std::map<std::string, std::string> journals;  // name -> synced text
    std::set<std::string> inUse;
    CrashPoint* crash = nullptr;
    bool failCreate = false;

  private:
    class Writer final : public JournalWriter {
      public:
        Writer(FakeJournalStore& store, std::string name) : store_(store), name_(std::move(name)) {
            store_.inUse.insert(name_);
        }
        ~Writer() override { store_.inUse.erase(name_); }
        bool Write(std::string_view text) override {
            pending_ += text;
            return true;
        }
        bool Sync() override {
            if (store_.crash) store_.crash->Step(false);
            store_.journals[name_] += pending_;
            pending_.clear();
            if (store_.crash) store_.crash->Step(true);
            return true;
        }

      private:
        FakeJournalStore& store_;
        std::string name_;
        std::string pending_;
    };
};

class FakeFileSystem final : public FileSystem {
  public:
    using File = FakeFile;

    void AddFolder(const std::u16string& folder, int device = 1) {
        folders.insert(Trim(folder));
        devices[Trim(folder)] = device;
    }
    void AddFile(const std::u16string& folder, const std::u16string& name, File file = {}) {
        if (!folders.count(Trim(folder))) AddFolder(folder);
        if (file.number == 0) file.number = ++lastNumber;
        files[JoinPath(Trim(folder), name)] = file;
    }

    std::vector<std::u16string> ListFiles(const std::u16string& folder) override {
        std::vector<std::pair<std::u16string, std::u16string>> keyed;
        for (const auto& [path, file] : files) {
            auto [dir, name] = Split(path);
            if (dir == Trim(folder) && !name.starts_with(u".") &&
                !(file.attributes & (kAttrHidden | kAttrSystem)))
                keyed.emplace_back(FoldCase(name), name);
        }
        std::sort(keyed.begin(), keyed.end());
        std::vector<std::u16string> out;
        for (auto& k : keyed) out.push_back(k.second);
        return out;
    }
    std::vector<std::u16string> ListFolders(const std::u16string& folder) override {
        std::vector<std::u16string> out;
        for (const auto& f : folders) {
            auto [dir, name] = Split(f);
            if (dir == Trim(folder) && !name.empty()) out.push_back(name);
        }
        return out;
    }
    std::unique_ptr<NameLookup> OpenNameLookup(const std::u16string& folder) override {
        ++lookupsOpened;
        auto lookup = std::make_unique<Lookup>();
        for (const auto& [path, file] : files) {
            auto [dir, name] = Split(path);
            if (dir == Trim(folder)) ++lookup->names[FoldCase(name)];
        }
        return lookup;
    }
    bool FileExists(const std::u16string& path) override { return files.count(path) != 0; }
    bool FolderExists(const std::u16string& path) override { return folders.count(Trim(path)) != 0; }

    // Into a folder of another device the file is copied (a new file
    // number) and then the source removed: a crash may fall in between.
    FsResult Rename(const std::u16string& from, const std::u16string& to) override {
        log.push_back(u"rename " + from + u" -> " + to);
        if (renames++ == failRename) return {kFsDiskFull, to};
        if (auto r = Planted(from, to); !r.ok()) return r;
        if (!files.count(from)) return {kFsFileNotFound, from};
        if (files.count(to)) return {kFsAlreadyExists, to};
        if (DeviceOf(from) != DeviceOf(to)) {
            Change([&] {
                files[to] = files[from];
                files[to].number = ++lastNumber;
            });
            Change([&] { files.erase(from); });
        } else {
            Change([&] {
                files[to] = files[from];
                files.erase(from);
            });
        }
        return {};
    }
    FsResult Copy(const std::u16string& from, const std::u16string& to) override {
        log.push_back(u"copy " + from + u" -> " + to);
        if (auto r = Planted(from, to); !r.ok()) return r;
        if (!files.count(from)) return {kFsFileNotFound, from};
        if (files.count(to)) return {kFsAlreadyExists, to};
        Change([&] {
            files[to] = files[from];
            files[to].number = ++lastNumber;
        });
        return {};
    }
    FsResult SetLastWriteTime(const std::u16string& path, const LocalDateTime& local) override {
        log.push_back(u"time " + path);
        if (auto r = Planted(path); !r.ok()) return r;
        if (!files.count(path)) return {kFsFileNotFound, path};
        Change([&] { files[path].lastWrite = local; });
        return {};
    }
    FsResult SetAttributes(const std::u16string& path, int mask) override {
        log.push_back(u"attrib " + path);
        if (auto r = Planted(path); !r.ok()) return r;
        if (!files.count(path)) return {kFsFileNotFound, path};
        Change([&] { files[path].attributes = mask; });
        return {};
    }

    FileIdentity Identify(const std::u16string& path, bool withAttributes) override {
        if (folders.count(Trim(path))) return {true, static_cast<std::uint64_t>(DeviceOf(Trim(path) + kPathSeparator + u"x")), 0};
        auto it = files.find(path);
        if (it == files.end()) return {};
        const File& f = it->second;
        const LocalDateTime& t = f.lastWrite;
        const std::int64_t stamp =
            ((((t.year * 100LL + t.month) * 100 + t.day) * 100 + t.hour) * 100 + t.minute) * 100 + t.second;
        return {true, static_cast<std::uint64_t>(DeviceOf(path)), f.number,
                static_cast<std::int64_t>(f.content.size()), stamp, withAttributes ? f.attributes : 0};
    }
    FsResult RestoreWriteTime(const std::u16string& path, std::int64_t v) override {
        log.push_back(u"restore time " + path);
        if (auto r = Planted(path); !r.ok()) return r;
        if (!files.count(path)) return {kFsFileNotFound, path};
        LocalDateTime t;
        t.second = static_cast<int>(v % 100), v /= 100;
        t.minute = static_cast<int>(v % 100), v /= 100;
        t.hour = static_cast<int>(v % 100), v /= 100;
        t.day = static_cast<int>(v % 100), v /= 100;
        t.month = static_cast<int>(v % 100), v /= 100;
        t.year = static_cast<int>(v);
        Change([&] { files[path].lastWrite = t; });
        return {};
    }
    FsResult RemoveFile(const std::u16string& path) override {
        log.push_back(u"remove " + path);
        if (auto r = Planted(path); !r.ok()) return r;
        if (!files.count(path)) return {kFsFileNotFound, path};
        Change([&] { files.erase(path); });
        return {};
    }
    bool SameContent(const std::u16string& a, const std::u16string& b) override {
        return files.count(a) && files.count(b) && files[a].content == files[b].content;
    }
    int GetAttributes(const std::u16string& path) override {
        auto it = files.find(path);
        return it == files.end() ? -1 : it->second.attributes;
    }
    FsResult MakeDirectory(const std::u16string& path) override {
        log.push_back(u"mkdir " + path);
        if (auto r = Planted(path); !r.ok()) return r;
        if (folders.count(Trim(path)) || files.count(path)) return {kFsPathFileAccess, path};
        folders.insert(Trim(path));
        return {};
    }

    EntryKind Examine(const std::u16string& path) override {
        auto it = kinds.find(path);
        return it == kinds.end() ? FileSystem::Examine(path) : it->second;
    }
    VolumeAbilities Abilities(const std::u16string&) override { return abilities; }

    std::map<std::u16string, File> files;  // full path -> file
    std::map<std::u16string, EntryKind> kinds;  // entries that are no plain file
    VolumeAbilities abilities;
    std::set<std::u16string> folders;
    std::map<std::u16string, int> devices;  // folder -> device
    std::uint64_t lastNumber = 0;
    CrashPoint* crash = nullptr;
    // path -> code the next change of it fails with (either end of a rename or copy)
    std::map<std::u16string, int> failures;
    int failRename = -1;  // the rename (counted from 0) that fails with disk full
    int renames = 0;
    std::vector<std::u16string> log;
    int lookupsOpened = 0;

  private:
    struct Lookup final : NameLookup {
        bool Exists(const std::u16string& name) const override { return names.count(FoldCase(name)) != 0; }
        std::size_t Count(const std::u16string& name) const override {
            auto it = names.find(FoldCase(name));
            return it == names.end() ? 0 : it->second;
        }
        std::unordered_map<std::u16string, std::size_t> names;
    };

    template <typename F>
    void Change(F&& change) {
        if (crash) crash->Step(false);
        change();
        if (crash) crash->Step(true);
    }
    int DeviceOf(const std::u16string& path) const {
        auto it = devices.find(Split(path).first);
        return it == devices.end() ? 1 : it->second;
    }
    static std::u16string Trim(const std::u16string& folder) {
        if (folder.size() > 1 && folder.back() == kPathSeparator) return folder.substr(0, folder.size() - 1);
        return folder;
    }
    static std::pair<std::u16string, std::u16string> Split(const std::u16string& path) {
        auto at = path.rfind(kPathSeparator);
        if (at == std::u16string::npos) return {u"", path};
        return {at == 0 ? path.substr(0, 1) : path.substr(0, at), path.substr(at + 1)};
    }
    FsResult Planted(const std::u16string& path) {
        auto it = failures.find(path);
        if (it == failures.end()) return {};
        FsResult r{it->second, path};
        failures.erase(it);
        return r;
    }
    FsResult Planted(const std::u16string& from, const std::u16string& to) {
        if (auto r = Planted(from); !r.ok()) return r;
        return Planted(to);
    }
};

// One engine wired to a full set of fakes.
struct EngineRig {
    FakeJobSettings settings;
    ScriptedMessageBox messages;
    CountingEventPump events;
    FixedClock clock{LocalDateTime{2025, 11, 30, 23, 59, 8}};
    FakeFileSystem files;
    RecordingProgress progress;
    RecordingRunView view;
    FakeJournalStore journals;
    ConversionEngine engine{EnginePorts{settings, messages, events, clock, files, progress, view, &journals}};

    EngineRig() {
        files.AddFolder(OsPath(u"/src"));
        files.AddFolder(OsPath(u"/dst"));
    }
};

}  // namespace zv::test
