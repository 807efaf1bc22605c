// The real run renaming 32,767 files in place, against a bare loop of
// renameat2 over as many files in the same folder, in the same process.
// Prints both times and their ratio: what the engine adds around the system
// call (question, pipeline, checks, no-replace handling, journal, list
// refresh); the same run without its journal, so the journal's own cost shows;
// and undo of the run against the run itself. The journal lives in a folder
// of the same file system. Then a job shifted by one (each new name the old
// name of the next file) against a bare loop that walks the chain from its
// free end.
//
//   zv_bench_realrun [folder]     (default: $TMPDIR or /tmp)
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "BenchSpan.h"
#include "engine/ConversionEngine.h"
#include "shared/NativeName.h"

namespace {

constexpr int kFiles = 32767;
constexpr int kRounds = 6;

using zvbench::KeepBest;
using zvbench::Measure;
using zvbench::Span;

class BenchSettings final : public zv::JobSettings {
  public:
    std::u16string Text(std::string_view control) const override {
        auto it = texts.find(std::string(control));
        return it == texts.end() ? std::u16string() : it->second;
    }
    void SetText(std::string_view control, const std::u16string& text) override {
        texts[std::string(control)] = text;
    }
    int Value(std::string_view control) const override {
        auto it = values.find(std::string(control));
        return it == values.end() ? 0 : it->second;
    }
    void SetFocus(std::string_view) override {}
    bool IsVisible(std::string_view) const override { return true; }
    int FileCount() const override { return static_cast<int>(files.size()); }
    std::u16string FileName(int index) const override { return files[static_cast<std::size_t>(index)]; }
    bool FileSelected(int) const override { return true; }

    std::map<std::string, std::u16string> texts;
    std::map<std::string, int> values;
    std::vector<std::u16string> files;
};

class YesToEverything final : public zv::MessageBoxService {
  public:
    int Show(const std::u16string& prompt, int buttons, const std::u16string& title) override {
        if (buttons == zv::kOkOnly && title != u"元に戻す") {
            std::fprintf(stderr, "unexpected message: %s\n", zv::ToUtf8(prompt).c_str());
            failed = true;
        }
        return buttons == zv::kYesNo ? zv::kYes : zv::kOk;
    }
    bool failed = false;
};

class NoProgress final : public zv::ProgressWindow {
  public:
    void Open() override { open_ = true; }
    void SetPhase(const std::u16string&) override {}
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }

  private:
    bool open_ = false;
};

// Re-reads the folder as the file list does after a run.
class ListingView final : public zv::RunView {
  public:
    explicit ListingView(std::u16string folder) : folder_(std::move(folder)) {}
    void ClearResults() override {}
    void AddResult(const std::u16string&) override {}
    void RefreshResults() override {}
    bool RefreshFileList() override {
        spent = Measure([&] { listed = zv::NativeFileSystem().ListFiles(folder_).size(); });
        return true;
    }
    void DisableConversion() override {}
    std::size_t listed = 0;
    Span spent;

  private:
    std::u16string folder_;
};

std::string Name(const char* prefix, int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%05d.dat", prefix, i);
    return buf;
}

}  // namespace

int main(int argc, char** argv) {
    const char* tmp = std::getenv("TMPDIR");
    std::string base = argc > 1 ? argv[1] : (tmp && *tmp ? tmp : "/tmp");
    std::string folder = base + "/zvbench-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    for (int i = 1; i <= kFiles; ++i) {
        int fd = ::open((folder + "/" + Name("A", i)).c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (fd < 0) {
            std::perror("create");
            return 1;
        }
        ::close(fd);
    }

    const std::string state = folder + "/state";
    ::setenv("XDG_STATE_HOME", state.c_str(), 1);

    std::string current = "A";  // prefix the files carry now
    Span bestBare, bestReal, bestRefresh, bestUnjournaled, bestUndo;
    bool ok = true;

    // The system call and nothing else.
    auto bareLoop = [&](const std::string& to) {
        KeepBest(bestBare, Measure([&] {
                     for (int i = 1; i <= kFiles && ok; ++i) {
                         std::string a = folder + "/" + Name(current.c_str(), i);
                         std::string b = folder + "/" + Name(to.c_str(), i);
                         if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_NOREPLACE) != 0) {
                             std::perror("renameat2");
                             ok = false;
                         }
                     }
                 }));
        current = to;
    };

    // A real run of numbering mode in place over the files named `from`+i,
    // to `to`+(start-1+i); timed into `best`. Returns the engine for undo.
    auto runJob = [&](const std::string& from, int offset, const std::string& to, int start, bool journal,
                      Span& best, auto&& after) {
        BenchSettings settings;
        const std::u16string dir = zv::FromNative(folder);
        settings.texts = {{"F_Dir", dir},
                          {"A_Dir", dir},
                          {"Txt_B_text", zv::FromUtf8(to)},
                          {"Txt_A_text", u""},
                          {"Txt_Startnum", zv::FromUtf8(std::to_string(start))},
                          {"Lbl_up", u"1"},
                          {"Lbl_keta", u"5"}};
        settings.values = {{"Chk_keta_lock", 1}, {"Opt_Han", -1}, {"Opt_Cpymov(0)", -1}};
        for (int i = 1; i <= kFiles; ++i) settings.files.push_back(zv::FromNative(Name(from.c_str(), i + offset)));
        YesToEverything messages;
        zv::NullEventPump events;
        zv::FixedClock clock({2024, 3, 7, 9, 5, 3});
        NoProgress progress;
        ListingView view(dir);
        zv::ConversionEngine engine(zv::EnginePorts{settings, messages, events, clock, zv::NativeFileSystem(),
                                                    progress, view,
                                                    journal ? &zv::NativeJournalStore() : nullptr});

        zv::StepFlag flag = zv::kStop;
        KeepBest(best, Measure([&] { flag = engine.RealRun(); }));
        if (flag != zv::kGoOn || messages.failed || view.listed != kFiles ||
            ::access((folder + "/" + Name(to.c_str(), start - 1 + kFiles)).c_str(), F_OK) != 0) {
            std::fprintf(stderr, "the real run did not rename every file\n");
            ok = false;
            return;
        }
        after(engine, view);
    };

    // The real run over the same files: numbering mode, in place; with its
    // journal it is then taken back, which is timed too.
    auto realRun = [&](const std::string& to, bool journal) {
        runJob(current, 0, to, 1, journal, journal ? bestReal : bestUnjournaled,
               [&](zv::ConversionEngine& engine, ListingView& view) {
                   if (!journal) {
                       current = to;
                       return;
                   }
                   KeepBest(bestRefresh, view.spent);
                   bool undone = false;
                   KeepBest(bestUndo, Measure([&] { undone = engine.UndoLastRun(); }));
                   if (!undone || ::access((folder + "/" + Name(current.c_str(), kFiles)).c_str(), F_OK) != 0) {
                       std::fprintf(stderr, "undo did not rename every file back\n");
                       ok = false;
                   }
               });
    };

    // Alternating which goes first, so neither always meets the folder in
    // the state the other left it in; the best of each counts.
    for (int round = 0; round < kRounds && ok; ++round) {
        const std::string bare = "B" + std::to_string(round) + "_", real = "R" + std::to_string(round) + "_";
        if (round % 2 == 0) {
            bareLoop(bare);
            if (ok) realRun(real, true);
            if (ok) realRun(real + "n", false);
        } else {
            realRun(real + "n", false);
            if (ok) realRun(real, true);
            if (ok) bareLoop(bare);
        }
    }

    // Shifted by one: every new name is the old name of the next file, so
    // the run has to follow the chain from its free end. The bare loop knows
    // the order beforehand and walks it from that end.
    int offset = 0;  // the files are named current + (i + offset)
    Span bestBareShift, bestRealShift;
    auto bareShift = [&](int by) {
        KeepBest(bestBareShift, Measure([&] {
                     for (int k = 0; k < kFiles && ok; ++k) {
                         const int i = by > 0 ? kFiles - k : 1 + k;
                         std::string a = folder + "/" + Name(current.c_str(), i + offset);
                         std::string b = folder + "/" + Name(current.c_str(), i + offset + by);
                         if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_NOREPLACE) != 0) {
                             std::perror("renameat2");
                             ok = false;
                         }
                     }
                 }));
        offset += by;
    };
    auto realShift = [&](int by) {
        runJob(current, offset, current, 1 + offset + by, true, bestRealShift,
               [](zv::ConversionEngine&, ListingView&) {});
        offset += by;
    };
    for (int round = 0; round < kRounds && ok; ++round) {
        if (round % 2 == 0) {
            bareShift(+1);
            if (ok) realShift(-1);
        } else {
            realShift(+1);
            if (ok) bareShift(-1);
        }
    }

    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    if (!ok) return 1;
    std::printf("files renamed in place: %d (best of %d rounds)\n", kFiles, kRounds);
    std::printf("                                  wall s    cpu s\n");
    std::printf("bare renameat2 loop             %8.3f %8.3f\n", bestBare.wall, bestBare.cpu);
    std::printf("real run (question to refresh)  %8.3f %8.3f\n", bestReal.wall, bestReal.cpu);
    std::printf("  of which the file-list refresh%8.3f %8.3f\n", bestRefresh.wall, bestRefresh.cpu);
    std::printf("  the same run without journal  %8.3f %8.3f\n", bestUnjournaled.wall, bestUnjournaled.cpu);
    std::printf("  so the journal costs          %8.3f %8.3f\n", bestReal.wall - bestUnjournaled.wall,
                bestReal.cpu - bestUnjournaled.cpu);
    std::printf("undo of the run                 %8.3f %8.3f\n", bestUndo.wall, bestUndo.cpu);
    std::printf("ratio real / bare               %8.2f %8.2f   (target <= 1.5)\n",
                bestReal.wall / bestBare.wall, bestReal.cpu / bestBare.cpu);
    std::printf("ratio undo / real               %8.2f %8.2f   (target <= 2)\n",
                bestUndo.wall / bestReal.wall, bestUndo.cpu / bestReal.cpu);
    std::printf("shifted by one, %d files\n", kFiles);
    std::printf("bare renameat2 loop from the end%8.3f %8.3f\n", bestBareShift.wall, bestBareShift.cpu);
    std::printf("real run (question to refresh)  %8.3f %8.3f\n", bestRealShift.wall, bestRealShift.cpu);
    std::printf("ratio real / bare               %8.2f %8.2f\n", bestRealShift.wall / bestBareShift.wall,
                bestRealShift.cpu / bestBareShift.cpu);
    return 0;
}
