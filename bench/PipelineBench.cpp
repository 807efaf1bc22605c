// The test-run pipeline on growing jobs. The destination folder is a real
// folder on disk holding as many files as the job selects, so the duplicate
// check reads it; the job itself lives in memory. Time must grow linearly:
// t(32767) / t(1024) near 32.
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/ConversionEngine.h"
#include "shared/NativeName.h"

namespace {

using namespace zv;
namespace fs = std::filesystem;

class MemoryJob final : public JobSettings {
  public:
    MemoryJob(std::u16string destination, int files) {
        texts_ = {{"F_Dir", u"/photos"},   {"A_Dir", std::move(destination)},
                  {"Txt_B_text", u"IMG_"}, {"Txt_A_text", u"_2024"},
                  {"Txt_Startnum", u"1"},  {"Lbl_up", u"1"},
                  {"Lbl_keta", u"5"}};
        values_ = {{"Chk_keta_lock", 1}, {"Opt_Han", -1}};
        for (int i = 0; i < files; ++i)
            names_.push_back(FromUtf8("DSC_" + std::to_string(100000 + i) + ".JPG"));
    }
    std::u16string Text(std::string_view c) const override {
        auto it = texts_.find(std::string(c));
        return it == texts_.end() ? std::u16string() : it->second;
    }
    void SetText(std::string_view c, const std::u16string& t) override { texts_[std::string(c)] = t; }
    int Value(std::string_view c) const override {
        auto it = values_.find(std::string(c));
        return it == values_.end() ? 0 : it->second;
    }
    void SetFocus(std::string_view) override {}
    bool IsVisible(std::string_view) const override { return true; }
    int FileCount() const override { return static_cast<int>(names_.size()); }
    std::u16string FileName(int i) const override { return names_[static_cast<std::size_t>(i)]; }
    bool FileSelected(int) const override { return true; }

  private:
    std::map<std::string, std::u16string> texts_;
    std::map<std::string, int> values_;
    std::vector<std::u16string> names_;
};

struct SilentBox final : MessageBoxService {
    int Show(const std::u16string&, int, const std::u16string&) override {
        ++shown;
        return kOk;
    }
    int shown = 0;
};
struct NoProgress final : ProgressWindow {
    void Open() override {}
    void SetPhase(const std::u16string&) override {}
    void Close() override {}
    bool IsOpen() const override { return false; }
};
struct CountingView final : RunView {
    void ClearResults() override { rows = 0; }
    void AddResult(const std::u16string&) override { ++rows; }
    void RefreshResults() override {}
    bool RefreshFileList() override { return true; }
    void DisableConversion() override {}
    int rows = 0;
};

// CPU time of this process. The machine's cores are shared: wall time of a
// long run includes other programs' slices and so grows faster than the work.
double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// CPU seconds for one test run of `files` files; the best of a few runs.
double TimeTestRun(int files) {
    std::string pattern = (fs::temp_directory_path() / "zv-bench-XXXXXX").string();
    const std::string folder = mkdtemp(pattern.data());
    for (int i = 0; i < files; ++i) {
        const std::string path = folder + "/existing_" + std::to_string(i) + ".jpg";
        ::close(::open(path.c_str(), O_CREAT | O_WRONLY, 0644));
    }

    MemoryJob job(FromNative(folder), files);
    SilentBox box;
    NullEventPump events;
    NoProgress progress;
    CountingView view;
    ConversionEngine engine({job, box, events, SystemClock(), NativeFileSystem(), progress, view});

    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        const double start = CpuSeconds();
        const StepFlag flag = engine.TestRun();
        const double took = CpuSeconds() - start;
        if (flag != kGoOn || view.rows != files || box.shown != 0) {
            std::fprintf(stderr, "bench: the job of %d files did not go through\n", files);
            std::exit(1);
        }
        best = std::min(best, took);
    }
    fs::remove_all(folder);
    return best;
}

}  // namespace

int main() {
    const int sizes[] = {1024, 8192, 32767};
    double times[3];
    std::printf("test-run pipeline, destination folder holding as many files (CPU time, best of 5)\n");
    for (int i = 0; i < 3; ++i) {
        times[i] = TimeTestRun(sizes[i]);
        std::printf("  %6d files: %9.2f ms  (%.2f us per file)\n", sizes[i], times[i] * 1e3,
                    times[i] * 1e6 / sizes[i]);
    }
    const double ratio = times[2] / times[0];
    std::printf("ratio t(32767)/t(1024) = %.1f  (linear: about 32; quadratic: about 1024)\n", ratio);
    return 0;
}
