// The real run renaming 32,767 files in place, against a bare loop of
// renameat2 over as many files in the same folder, in the same process.
// Prints both times and their ratio: what the engine adds around the system
// call (question, pipeline, checks, no-replace handling, list refresh).
//
//   zv_bench_realrun [folder]     (default: $TMPDIR or /tmp)
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/ConversionEngine.h"
#include "shared/NativeName.h"

namespace {

constexpr int kFiles = 32767;
constexpr int kRounds = 3;

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
    int Show(const std::u16string& prompt, int buttons, const std::u16string&) override {
        if (buttons == zv::kOkOnly) {
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
        listed = zv::NativeFileSystem().ListFiles(folder_).size();
        return true;
    }
    void DisableConversion() override {}
    std::size_t listed = 0;

private:
    std::u16string folder_;
};

std::string Name(const char* prefix, int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%05d.dat", prefix, i);
    return buf;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

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

    std::string current = "A";  // prefix the files carry now
    double bestBare = 1e9, bestReal = 1e9;
    bool ok = true;
    for (int round = 0; round < kRounds && ok; ++round) {
        // The bare loop: the system call and nothing else.
        const std::string bare = "B" + std::to_string(round) + "_";
        auto t0 = std::chrono::steady_clock::now();
        for (int i = 1; i <= kFiles; ++i) {
            std::string from = folder + "/" + Name(current.c_str(), i);
            std::string to = folder + "/" + Name(bare.c_str(), i);
            if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
                std::perror("renameat2");
                ok = false;
                break;
            }
        }
        bestBare = std::min(bestBare, Seconds(std::chrono::steady_clock::now() - t0));
        current = bare;

        // The real run over the same files: numbering mode, in place.
        const std::string real = "R" + std::to_string(round) + "_";
        BenchSettings settings;
        const std::u16string dir = zv::FromNative(folder);
        settings.texts = {{"F_Dir", dir},          {"A_Dir", dir},   {"Txt_B_text", zv::FromUtf8(real)},
                          {"Txt_A_text", u""},     {"Txt_Startnum", u"1"}, {"Lbl_up", u"1"},
                          {"Lbl_keta", u"5"}};
        settings.values = {{"Chk_keta_lock", 1}, {"Opt_Han", -1}, {"Opt_Cpymov(0)", -1}};
        for (int i = 1; i <= kFiles; ++i) settings.files.push_back(zv::FromNative(Name(current.c_str(), i)));
        YesToEverything messages;
        zv::NullEventPump events;
        zv::FixedClock clock({2024, 3, 7, 9, 5, 3});
        NoProgress progress;
        ListingView view(dir);
        zv::ConversionEngine engine(
            zv::EnginePorts{settings, messages, events, clock, zv::NativeFileSystem(), progress, view});

        auto t1 = std::chrono::steady_clock::now();
        const zv::StepFlag flag = engine.RealRun();
        bestReal = std::min(bestReal, Seconds(std::chrono::steady_clock::now() - t1));
        if (flag != zv::kGoOn || messages.failed || view.listed != kFiles ||
            ::access((folder + "/" + Name(real.c_str(), kFiles)).c_str(), F_OK) != 0) {
            std::fprintf(stderr, "the real run did not rename every file\n");
            ok = false;
        }
        current = real;
    }

    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    if (!ok) return 1;
    std::printf("files renamed in place:        %d (best of %d rounds)\n", kFiles, kRounds);
    std::printf("bare renameat2 loop:           %.3f s\n", bestBare);
    std::printf("real run (question to refresh): %.3f s\n", bestReal);
    std::printf("ratio real / bare:             %.2f (target <= 1.5)\n", bestReal / bestBare);
    return 0;
}
