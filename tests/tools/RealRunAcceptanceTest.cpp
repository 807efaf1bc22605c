// Acceptance: real runs through the jobrun program on temporary folders. What
// the user is told, and what the folders hold afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

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

}  // namespace
