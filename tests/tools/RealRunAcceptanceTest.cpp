// Acceptance: real runs through the jobrun program on temporary folders. What
// the user is told, and what the folders hold afterwards.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

std::string Slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

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

    // name -> content of every file in the folder.
    static std::map<std::string, std::string> Contents(const std::string& folder) {
        std::map<std::string, std::string> m;
        for (const auto& e : fs::directory_iterator(folder))
            m[e.path().filename().string()] = Slurp(e.path());
        return m;
    }

    Json Run(const Json& job, int& status, std::string& err) const {
        const auto in = root_ / "job.json", out = root_ / "out.txt", errFile = root_ / "err.txt";
        std::ofstream(in) << job.dump();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        char* argv[] = {const_cast<char*>(ZV_JOBRUN_PATH), nullptr};
        pid_t pid = 0;
        status = -1;
        if (posix_spawn(&pid, ZV_JOBRUN_PATH, &actions, nullptr, argv, environ) == 0) {
            int st = 0;
            waitpid(pid, &st, 0);
            status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        err = Slurp(errFile);
        const std::string text = Slurp(out);
        return text.empty() ? Json() : Json::parse(text);
    }

  private:
    fs::path root_;
};

using Files = std::map<std::string, std::string>;

const Json kQuestion = {
    {"text", "変換処理を開始しますか？"}, {"title", "開始"}, {"buttons", 4}, {"answer", 6}};
const Json kWritePhases = {"チェック中", "変換中", "チェック中", "書き込み中"};

Json FileError(const std::string& text) {
    return {{"text", text}, {"title", "ファイルエラー"}, {"buttons", 0}, {"answer", 1}};
}

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
    if (job["destination"] == "{DST}") job["destination"] = f.Dst();
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
const Json kReplaceAB = {{"Chk_syori", {0, 1}}, {"Txt_B_text", "a"}, {"Txt_A_text", "b"}};

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
            {}},
        RealCase{"stops_on_third_row_of_five",
                 {{"a1.txt", "1"},
                  {"a2.txt", "2"},
                  {"a3.txt", "3"},
                  {"a4.txt", "4"},
                  {"a5.txt", "5"},
                  {"b3.txt", "old"}},
                 {},
                 {{"controls", kReplaceAB}, {"files", {"a1.txt", "a2.txt", "a3.txt", "a4.txt", "a5.txt"}}},
                 {{"flag", 0},
                  {"messages", {kQuestion, FileError("同名のファイル名がすでに存在します。")}},
                  {"conversionDisabled", false}},
                 {{"b1.txt", "1"},
                  {"b2.txt", "2"},
                  {"a3.txt", "3"},
                  {"b3.txt", "old"},
                  {"a4.txt", "4"},
                  {"a5.txt", "5"}},
                 {}},
        RealCase{"copy_never_replaces",
                 {{"a1.txt", "1"}, {"a2.txt", "2"}},
                 {{"b2.txt", "old"}},
                 {{"destination", "{DST}"}, {"controls", kReplaceAB}},
                 {{"flag", 0}, {"messages", {kQuestion, FileError("同名のファイル名がすでに存在します。")}}},
                 {{"a1.txt", "1"}, {"a2.txt", "2"}},
                 {{"b1.txt", "1"}, {"b2.txt", "old"}}},
        RealCase{"time_stamp_box_not_a_number",
                 {{"a.jpg", "A"}},
                 {},
                 {{"controls", {{"Txt_B_text", "IMG_"}, {"Chk_DateLock", 1}, {"Txt_S", "5秒"}}}},
                 {{"flag", 0}, {"messages", {kQuestion, FileError("書き込みに失敗しました。")}}},
                 {{"a.jpg", "A"}},
                 {}}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
