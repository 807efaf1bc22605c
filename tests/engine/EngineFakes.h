#pragma once
// Stand-ins for everything the engine talks to, shared by the engine's tests,
// the executor's, jobrun and the main window's. Each records what was done to it.

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <ranges>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ConversionEngine.h"
#include "shared/CaseFold.h"
#include "shared/NativeName.h"

namespace zv::test {

using Names = std::vector<std::u16string>;
using Controls = std::vector<std::pair<const char*, std::u16string>>;

// Paths in the tests are written with "/"; the engine joins with the
// platform's separator.
inline std::u16string OsPath(std::u16string path) {
    for (auto& c : path)
        if (c == u'/') c = kPathSeparator;
    return path;
}

// A message box as shown.
struct Box {
    std::u16string title, prompt;
    int buttons = kOkOnly;
    bool operator==(const Box&) const = default;
};
inline void PrintTo(const Box& b, std::ostream* os) { *os << ToUtf8(b.title) << " | " << ToUtf8(b.prompt); }
inline const Box kQuestion{u"開始", u"変換処理を開始しますか？", kYesNo};
inline const Box kDuplicate{u"ファイル指定エラー", u"変換後のファイル名が重複しています。"};

// The main window as the engine sees it: its controls by name ("Chk_syori(0)"),
// starting with what the window shows after start-up; message boxes answered
// from a script (a box with a choice takes the next answer, else its first
// button); the event pump, the progress window and the result list.
struct FakeWindow : JobSettings, MessageBoxService, EventPump, ProgressWindow, RunView {
    // Check boxes and option buttons hold their number as text.
    // clang-format off
    std::map<std::string, std::u16string, std::less<>> controls{
        {"F_Dir", OsPath(u"/src")}, {"A_Dir", OsPath(u"/src")}, {"Txt_Startnum", u"1"}, {"Lbl_up", u"1"},
        {"Lbl_keta", u"1"}, {"Txt_YY", u"2024"}, {"Txt_MM", u"3"}, {"Txt_DD", u"7"}, {"Txt_H", u"9"}, {"Txt_M", u"5"},
        {"Txt_S", u"3"}, {"Chk_keta_lock", u"1"}, {"Opt_Han", u"-1"}, {"Opt_Cpymov(0)", u"-1"}};
    // clang-format on
    std::vector<std::pair<std::u16string, bool>> files;  // the file list: name, selected
    std::string focus;
    std::deque<int> answers;
    std::vector<Box> shown;
    int pumps = 0;
    std::function<void()> onEvents;  // what the user does meanwhile
    std::vector<std::u16string> phases, results;
    bool open = false, cancellable = false, cancel = false, refreshSucceeds = true;
    int clears = 0, refreshes = 0, listRefreshes = 0, disables = 0;

    void Set(std::string_view c, const std::u16string& v) { controls.insert_or_assign(std::string(c), v); }
    void Set(const Controls& cs) {
        for (const auto& [c, v] : cs) Set(c, v);
    }
    void SelectAll(const std::vector<std::u16string>& names) {
        files.clear();
        for (const auto& n : names) files.emplace_back(n, true);
    }

    std::u16string Text(std::string_view c) const override {
        auto it = controls.find(c);
        return it == controls.end() ? u"" : it->second;
    }
    void SetText(std::string_view c, const std::u16string& t) override { Set(c, t); }
    int Value(std::string_view c) const override { return Text(c).empty() ? 0 : std::stoi(ToUtf8(Text(c))); }
    void SetFocus(std::string_view c) override { focus = c; }
    // The numbering group (the start number among it) is hidden outside numbering mode.
    bool IsVisible(std::string_view c) const override {
        return c != "Txt_Startnum" || (Value("Chk_syori(0)") != 1 && Value("Chk_syori(1)") != 1);
    }
    int FileCount() const override { return static_cast<int>(files.size()); }
    std::u16string FileName(int i) const override { return files.at(static_cast<std::size_t>(i)).first; }
    bool FileSelected(int i) const override { return files.at(static_cast<std::size_t>(i)).second; }

    int Show(const std::u16string& prompt, int buttons, const std::u16string& title) override {
        int answer = buttons == kYesNo ? kYes : kOk;
        if (buttons != kOkOnly && !answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        shown.push_back({title, prompt, buttons});
        return answer;
    }
    void DoEvents() override {
        if (++pumps; onEvents) onEvents();
    }

    void Open() override { open = true; }
    void SetPhase(const std::u16string& phase) override { phases.push_back(phase); }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    void ShowProgress(std::size_t, std::size_t, bool c) override { cancellable = c; }
    bool CancelRequested() const override { return cancel; }

    void ClearResults() override { results.clear(), ++clears; }
    void AddResult(const std::u16string& name) override { results.push_back(name); }
    void RefreshResults() override { ++refreshes; }
    bool RefreshFileList() override { return ++listRefreshes, refreshSucceeds; }
    void DisableConversion() override { ++disables; }
};

// A simulated power cut: counts every change of a file and every journal
// sync, and throws Crash (which the engine does not catch) before or after
// the change numbered `at` takes effect.
struct Crash {};
struct CrashPoint {
    int at = -1;  // -1: never
    bool afterChange = false;
    int seen = 0;
    template <typename F>
    void Around(F&& change) {
        if (seen == at && !afterChange) throw Crash{};
        change();
        if (seen++ == at && afterChange) throw Crash{};
    }
};

// An in-memory journal store. What a writer has not synced is lost when it
// goes, as it would be in a power cut.
struct FakeJournalStore final : JournalStore {
    std::map<std::string, std::string> journals;  // name -> synced text
    std::set<std::string> inUse;
    CrashPoint& crash;
    bool failCreate = false;

    explicit FakeJournalStore(CrashPoint& c) : crash(c) {}
    struct Writer final : JournalWriter {
        FakeJournalStore& store;
        std::string name, pending;
        Writer(FakeJournalStore& s, std::string n) : store(s), name(std::move(n)) {
            store.inUse.insert(name);
        }
        ~Writer() override { store.inUse.erase(name); }
        bool Write(std::string_view text) override { return (pending += text, true); }
        bool Sync() override {
            store.crash.Around([&] { store.journals[name] += pending; });
            pending.clear();
            return true;
        }
    };
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
        return it == journals.end() ? std::nullopt : std::optional(it->second);
    }
    bool Append(const std::string& name, std::string_view text) override {
        return journals.count(name) && (journals[name] += text, true);
    }
    bool Remove(const std::string& name) override { return journals.erase(name) != 0; }
    bool InUse(const std::string& name) override { return inUse.count(name) != 0; }
    std::u16string Location() override { return u"/state"; }
};

struct FakeFile {
    int attributes = 0;
    LocalDateTime lastWrite{2001, 1, 1, 0, 0, 0};
    std::string content;
    std::uint64_t number = 0;  // the file number, given when added
    bool operator==(const FakeFile&) const = default;
};

// An in-memory file system of full paths. Every change is logged; the n-th
// rename or copy (from 0) can be made to fail. Folders are listed as the
// real file system lists them: names starting with a dot left out, sorted
// without regard to case.
struct FakeFileSystem final : FileSystem {
    std::map<std::u16string, FakeFile> files;
    std::set<std::u16string> folders;           // without a trailing separator
    std::map<std::u16string, EntryKind> kinds;  // entries that are no plain file
    std::map<std::u16string, int> devices;      // folder -> device (1 when absent)
    VolumeAbilities abilities;
    std::vector<std::u16string> log;
    CrashPoint never, &crash;
    int failAt = -1, failCode = kFsDiskFull, moves = 0;
    std::uint64_t lastNumber = 0;

    explicit FakeFileSystem(CrashPoint& c) : crash(c) {}
    FakeFileSystem() : crash(never) {}
    void Add(const std::u16string& path, FakeFile f = {}) {
        f.number = ++lastNumber;
        files[path] = f;
    }
    // A folder holding these files.
    void Put(const std::u16string& folder, const std::vector<std::u16string>& names) {
        folders.insert(folder);
        for (const auto& n : names) Add(WithTrailingSeparator(folder) + n);
    }

    std::vector<std::u16string> ListFiles(const std::u16string& folder) override {
        return Listed(folder, std::views::keys(files));
    }
    std::vector<std::u16string> ListFolders(const std::u16string& folder) override {
        return Listed(folder, folders);
    }
    std::unique_ptr<NameLookup> OpenNameLookup(const std::u16string& folder) override {
        struct Lookup final : NameLookup {
            std::multiset<std::u16string> names;  // folded
            bool Exists(const std::u16string& n) const override { return Count(n) != 0; }
            std::size_t Count(const std::u16string& n) const override { return names.count(FoldCase(n)); }
        };
        auto lookup = std::make_unique<Lookup>();
        for (const auto& [path, f] : files)
            if (Folder(path) == WithTrailingSeparator(folder))
                lookup->names.insert(FoldCase(path.substr(Folder(path).size())));
        return lookup;
    }
    bool FileExists(const std::u16string& path) override { return files.count(path) != 0; }
    bool FolderExists(const std::u16string& path) override {
        return folders.count(path.size() > 1 && path.ends_with(kPathSeparator)
                                 ? path.substr(0, path.size() - 1)
                                 : path) != 0;
    }

    // Into a folder of another device the file is copied (a new file
    // number) and then the source removed: a power cut may fall in between.
    FsResult Rename(const std::u16string& from, const std::u16string& to) override {
        return Move(u"rename ", from, to, DeviceOf(from) != DeviceOf(to), true);
    }
    FsResult Copy(const std::u16string& from, const std::u16string& to) override {
        return Move(u"copy ", from, to, true, false);
    }
    FsResult SetLastWriteTime(const std::u16string& path, const LocalDateTime& t) override {
        return Change(u"time ", path, [&] { files[path].lastWrite = t; });
    }
    FsResult SetAttributes(const std::u16string& path, int mask) override {
        return Change(u"attrib ", path, [&] { files[path].attributes = mask; });
    }
    int GetAttributes(const std::u16string& path) override {
        return files.count(path) ? files[path].attributes : -1;
    }
    FsResult MakeDirectory(const std::u16string& path) override { return {kFsGeneric, path}; }
    // A folder is named with a trailing separator. The time as a number:
    // yyyymmddhhmmss.
    FileIdentity Identify(const std::u16string& path, bool withAttributes) override {
        if (path.ends_with(kPathSeparator)) return {true, static_cast<std::uint64_t>(DeviceOf(path)), 0};
        auto it = files.find(path);
        if (it == files.end()) return {};
        const FakeFile& f = it->second;
        std::int64_t stamp = f.lastWrite.year;
        for (int v :
             {f.lastWrite.month, f.lastWrite.day, f.lastWrite.hour, f.lastWrite.minute, f.lastWrite.second})
            stamp = stamp * 100 + v;
        const int attributes = withAttributes ? f.attributes : 0;
        return {true,      std::uint64_t(DeviceOf(path)), f.number, std::int64_t(f.content.size()), stamp,
                attributes};
    }
    FsResult RestoreWriteTime(const std::u16string& path, std::int64_t v) override {
        LocalDateTime t;
        for (int* field : {&t.second, &t.minute, &t.hour, &t.day, &t.month})
            *field = static_cast<int>(v % 100), v /= 100;
        t.year = static_cast<int>(v);
        return Change(u"restore time ", path, [&] { files[path].lastWrite = t; });
    }
    FsResult RemoveFile(const std::u16string& path) override {
        return Change(u"remove ", path, [&] { files.erase(path); });
    }
    bool SameContent(const std::u16string& a, const std::u16string& b) override {
        return files.count(a) && files.count(b) && files[a].content == files[b].content;
    }
    EntryKind Examine(const std::u16string& path) override {
        auto it = kinds.find(path);
        return it != kinds.end() ? it->second : FileExists(path) ? EntryKind::kFile : EntryKind::kMissing;
    }
    VolumeAbilities Abilities(const std::u16string&) override { return abilities; }

  private:
    static std::u16string Folder(const std::u16string& path) {
        return path.substr(0, path.rfind(kPathSeparator) + 1);
    }
    static std::vector<std::u16string> Listed(const std::u16string& folder, const auto& paths) {
        std::vector<std::u16string> names;
        for (const std::u16string& path : paths)
            if (std::u16string name = path.substr(Folder(path).size());
                Folder(path) == WithTrailingSeparator(folder) && !name.empty() && name[0] != u'.')
                names.push_back(name);
        std::stable_sort(names.begin(), names.end(),
                         [](const auto& a, const auto& b) { return FoldCase(a) < FoldCase(b); });
        return names;
    }
    int DeviceOf(const std::u16string& path) const {
        auto it = devices.find(Folder(path));
        return it == devices.end() ? 1 : it->second;
    }
    template <typename F>
    FsResult Change(const std::u16string& what, const std::u16string& path, F&& change) {
        log.push_back(what + path);
        if (!files.count(path)) return {kFsFileNotFound, path};
        crash.Around(change);
        return {};
    }
    FsResult Move(const std::u16string& what, const std::u16string& from, const std::u16string& to,
                  bool newFile, bool removeSource) {
        log.push_back(what + from + u" -> " + to);
        if (moves++ == failAt) return {failCode, to};
        if (!files.count(from)) return {kFsFileNotFound, from};
        if (files.count(to)) return {kFsAlreadyExists, to};
        crash.Around([&] {
            files[to] = files[from];
            if (newFile) files[to].number = ++lastNumber;
            if (!newFile) files.erase(from);
        });
        if (newFile && removeSource) crash.Around([&] { files.erase(from); });
        return {};
    }
};

// One engine wired to a full set of fakes.
struct EngineRig {
    FakeWindow ui;
    FixedClock clock{LocalDateTime{2025, 11, 30, 23, 59, 8}};
    CrashPoint crash;
    FakeFileSystem files{crash};
    FakeJournalStore journals{crash};
    ConversionEngine engine{EnginePorts{ui, ui, ui, clock, files, ui, ui, &journals}};
};

}  // namespace zv::test
