// Acceptance: real runs through the jobrun program on temporary folders. What
// the user is told, and what the folders hold afterwards.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "JobRunProcess.h"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

using zvtest::Slurp;

// Two folders, src and dst, and the means to run a job on them.
class Folders {
  public:
    Folders() {
        std::string pattern = (fs::temp_directory_path() / "zv-realrun-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        fs::create_directory(root_ / "src");
        fs::create_directory(root_ / "dst");
    }
    ~Folders() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    std::string Src() const { return (root_ / "src").string(); }
    std::string Dst() const { return (root_ / "dst").string(); }
    const fs::path& Root() const { return root_; }

    // name -> content of every file in the folder.
    static std::map<std::string, std::string> Contents(const std::string& folder) {
        std::map<std::string, std::string> m;
        for (const auto& e : fs::directory_iterator(folder))
            m[e.path().filename().string()] = Slurp(e.path());
        return m;
    }

    Json Run(const Json& job, int& status, std::string& err) const {
        const zvtest::JobRunOutcome o = zvtest::RunJobRun(root_, job.dump());
        status = o.status;
        err = o.err;
        return o.out.empty() ? Json() : Json::parse(o.out);
    }

  private:
    fs::path root_;
};

using Files = std::map<std::string, std::string>;

const Json kQuestion = {
    {"text", "変換処理を開始しますか？"}, {"title", "開始"}, {"buttons", 4}, {"answer", 6}};
const Json kWritePhases = {"チェック中", "変換中", "チェック中", "書き込み中"};

struct RealCase {
    const char* label;
    Files src, dst;  // before
    Json job;        // source/destination default to the two folders
    Json expect;     // keys of the result that must match
    Files srcAfter, dstAfter;
};

void PrintTo(const RealCase& c, std::ostream* os) { *os << c.label; }

class RealRunAcceptance : public testing::TestWithParam<RealCase> {};

TEST_P(RealRunAcceptance, FoldersHoldWhatTheUserWasToldOf) {
    const RealCase& c = GetParam();
    Folders f;
    for (const auto& [name, data] : c.src) std::ofstream(fs::path(f.Src()) / name, std::ios::binary) << data;
    for (const auto& [name, data] : c.dst) std::ofstream(fs::path(f.Dst()) / name, std::ios::binary) << data;
    Json job = c.job;
    job["run"] = "real";
    if (!job.contains("source")) job["source"] = f.Src();
    if (!job.contains("destination")) job["destination"] = f.Src();
    job["now"] = "2024-03-07T09:05:03";

    int status = -1;
    std::string err;
    const Json result = f.Run(job, status, err);

    ASSERT_EQ(status, 0) << err;
    for (const auto& [key, value] : c.expect.items()) EXPECT_EQ(result.at(key), value) << key;
    EXPECT_EQ(result.at("progressOpen"), false);
    EXPECT_EQ(Folders::Contents(f.Src()), c.srcAfter);
    EXPECT_EQ(Folders::Contents(f.Dst()), c.dstAfter);
}

const Json kNumbering = {{"Txt_B_text", "IMG_"}, {"Lbl_keta", "3"}};

INSTANTIATE_TEST_SUITE_P(
    Jobs, RealRunAcceptance,
    testing::Values(
        RealCase{"rename_in_place",
                 {{"b.jpg", "B"}, {"a.jpg", "A"}},
                 {},
                 {{"controls", kNumbering}},
                 {{"flag", -1},
                  {"messages", {kQuestion}},
                  {"phases", kWritePhases},
                  {"Lst_Kekka", Json::array()},
                  {"conversionDisabled", true}},
                 {{"IMG_001.jpg", "A"}, {"IMG_002.jpg", "B"}},
                 {}},
        RealCase{
            "answer_no_touches_nothing",
            {{"a.jpg", "A"}},
            {},
            {{"controls", kNumbering}, {"answers", {7}}},
            {{"flag", 0},
             {"messages",
              {{{"text", "変換処理を開始しますか？"}, {"title", "開始"}, {"buttons", 4}, {"answer", 7}}}},
             {"phases", Json::array()},
             {"conversionDisabled", false}},
            {{"a.jpg", "A"}},
            {}}),
    [](const auto& info) { return std::string(info.param.label); });

// ------------------------------------------------ taking runs back

const Json kUndoQuestion = {{"text", "直前の変換処理を元に戻しますか？\r\n2 個のファイルを元に戻します。"},
                            {"title", "元に戻す"},
                            {"buttons", 4},
                            {"answer", 6}};
const Json kUndoReport = {
    {"text", "2 個のファイルを元に戻しました。"}, {"title", "元に戻す"}, {"buttons", 0}, {"answer", 1}};

TEST(UndoAcceptance, UndoTakesTheRunBackAndCanItselfBeTakenBackOnce) {
    Folders f;
    const Files before = {{"a.jpg", "A"}, {"b.jpg", "B"}}, after = {{"IMG_001.jpg", "A"}, {"IMG_002.jpg", "B"}};
    for (const auto& [name, data] : before) std::ofstream(fs::path(f.Src()) / name, std::ios::binary) << data;
    int status = -1;
    std::string err;
    f.Run({{"source", f.Src()}, {"run", "real"}, {"controls", kNumbering}}, status, err);
    ASSERT_EQ(Folders::Contents(f.Src()), after) << err;

    const struct {
        const char* run;
        Json messages;
        int flag;
        Files folder;
    } steps[] = {
        {"undo", {kUndoQuestion, kUndoReport}, -1, before},
        {"undo", {kUndoQuestion, kUndoReport}, -1, after},  // the undo taken back
        {"undo",
         {{{"text", "元に戻すファイルはありません。"}, {"title", "元に戻す"}, {"buttons", 0}, {"answer", 1}}},
         0,
         after},
        {"recover", Json::array(), 0, after},
    };
    for (const auto& step : steps) {
        const Json result = f.Run({{"run", step.run}, {"answers", {6}}}, status, err);
        ASSERT_EQ(status, 0) << err;
        EXPECT_EQ(result.at("messages"), step.messages) << step.run;
        EXPECT_EQ(result.at("flag"), step.flag) << step.run;
        EXPECT_EQ(Folders::Contents(f.Src()), step.folder) << step.run;
    }
}

// name -> sha256 of every file in the folder.
std::map<std::string, std::string> Hashes(const std::string& folder) {
    std::map<std::string, std::string> m;
    const std::string command = "cd '" + folder + "' && find . -type f -print0 | xargs -0 sha256sum";
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return m;
    char line[512];
    while (std::fgets(line, sizeof line, p)) {
        std::string l(line);
        if (l.size() < 68) continue;
        m[l.substr(66, l.size() - 67)] = l.substr(0, 64);  // "<hash>  ./<name>\n"
    }
    ::pclose(p);
    return m;
}

TEST(KilledRunAcceptance, RecoveryPutsEveryContentBackUnderItsOldNameExactlyOnce) {
    constexpr int kFiles = 20000;
    Folders f;
    std::mt19937 random(std::random_device{}());
    for (int i = 1; i <= kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f%05d.dat", i);
        std::ofstream(fs::path(f.Src()) / name, std::ios::binary) << "file " << i << " " << random() << "\n";
    }
    const auto before = Hashes(f.Src());
    ASSERT_EQ(before.size(), std::size_t{kFiles});

    const Json job = {{"source", f.Src()}, {"run", "real"}, {"controls", {{"Txt_B_text", "IMG_"}, {"Lbl_keta", "5"}}}};
    const pid_t pid = zvtest::SpawnJobRun(f.Root(), job.dump());
    ASSERT_GT(pid, 0);
    // Once the first file has its new name, a random moment later.
    const fs::path first = fs::path(f.Src()) / "IMG_00001.dat";
    int status = 0;
    while (!fs::exists(first) && ::waitpid(pid, &status, WNOHANG) == 0)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 400)(random)));
    ::kill(pid, SIGKILL);
    zvtest::WaitJobRun(f.Root(), pid);
    std::size_t renamed = 0;
    for (const auto& e : fs::directory_iterator(f.Src())) renamed += e.path().filename().string().starts_with("IMG_");
    std::printf("killed with %zu of %d files renamed\n", renamed, kFiles);

    std::string err;
    Json result = f.Run({{"run", "recover"}, {"answers", {6}}}, status, err);
    ASSERT_EQ(status, 0) << err;
    // A run that was quicker than the kill is complete: undo takes it back.
    if (result.at("messages").empty()) {
        result = f.Run({{"run", "undo"}, {"answers", {6}}}, status, err);
        ASSERT_EQ(status, 0) << err;
    } else {
        EXPECT_EQ(result.at("messages")[0].at("title"), "復旧");
    }
    EXPECT_EQ(result.at("flag"), -1);
    EXPECT_EQ(Hashes(f.Src()), before);
}

}  // namespace
