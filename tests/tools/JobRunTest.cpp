// Acceptance: the jobrun program run end to end on temporary folders, on
// POSIX and on Windows. What the user is told, and what the folders hold
// afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using Files = std::map<std::string, std::string>;  // name -> content

std::string Slurp(const fs::path& p) {
    return {std::istreambuf_iterator<char>(std::ifstream(p, std::ios::binary).rdbuf()), {}};
}
fs::path U8(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }
std::string U8(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

}  // namespace

// Runs jobrun with the job on its standard input and its output and errors
// into files of work; its real runs keep their journals in work/state.
#ifdef _WIN32
#include <windows.h>
namespace {
int RunJobRun(const fs::path& work) {
    _wputenv_s(L"LOCALAPPDATA", (work / "state").c_str());
    // jobrun lands beside this program; no space in either path.
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const fs::path program = fs::path(self).parent_path() / "jobrun.exe";
    return std::system((program.string() + " < " + (work / "job.json").string() + " > " +
                        (work / "out.txt").string() + " 2> " + (work / "err.txt").string())
                           .c_str());
}
}  // namespace
#else
#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>
namespace {
std::string Command(const fs::path& work) {
    return "exec env XDG_STATE_HOME='" + (work / "state").string() + "' '" ZV_JOBRUN_PATH "' < '" +
           (work / "job.json").string() + "' > '" + (work / "out.txt").string() + "' 2> '" +
           (work / "err.txt").string() + "'";
}
int RunJobRun(const fs::path& work) {
    const int status = std::system(Command(work).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace
#endif

namespace {

// src and dst under a fresh folder that also holds the job, jobrun's output
// and the journals of its real runs.
struct Folders {
    Folders() {
        std::mt19937 random(std::random_device{}());
        do root = fs::temp_directory_path() / ("zv-jobrun-" + std::to_string(random()));
        while (!fs::create_directory(root));
        fs::create_directory(root / "src");
        fs::create_directory(root / "dst");
    }
    ~Folders() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    std::string Src() const { return U8(root / "src"); }
    std::string Dst() const { return U8(root / "dst"); }
    static Files Contents(const std::string& folder) {
        Files m;
        for (const auto& e : fs::directory_iterator(U8(folder))) m[U8(e.path().filename())] = Slurp(e.path());
        return m;
    }
    struct Outcome {
        int status;
        std::string out, err;
    };
    Outcome Run(const std::string& job) const {
        std::ofstream(root / "job.json", std::ios::binary) << job;
        // A braced list is evaluated in order: the run, then what it wrote.
        return {RunJobRun(root), Slurp(root / "out.txt"), Slurp(root / "err.txt")};
    }
    Json Ran(const Json& job) const {
        const auto o = Run(job.dump());
        EXPECT_EQ(o.status, 0) << o.err;
        return o.status == 0 ? Json::parse(o.out) : Json();
    }
    fs::path root;
};

// Every key of expect holds in result, objects compared key by key.
void ExpectHolds(const Json& result, const Json& expect, const std::string& where = "") {
    if (!expect.is_object()) {
        EXPECT_EQ(result, expect) << where;
        return;
    }
    for (const auto& [key, value] : expect.items())
        ExpectHolds(result.value(key, Json()), value, where + "/" + key);
}

struct JobCase {
    const char* label;
    std::vector<std::string> src, dst;   // each file holds its own name
    std::string job;                     // source, destination and now default
    std::string expect;                  // JSON the result holds; empty: the job is refused as malformed
    std::optional<Files> srcAfter = {};  // default: as before
};

void PrintTo(const JobCase& c, std::ostream* os) { *os << c.label; }

class JobRunAcceptance : public testing::TestWithParam<JobCase> {};

TEST_P(JobRunAcceptance, FoldersHoldWhatTheUserWasToldOf) {
    const JobCase& c = GetParam();
    Folders f;
    for (const auto& name : c.src) std::ofstream(f.root / "src" / U8(name)) << name;
    for (const auto& name : c.dst) std::ofstream(f.root / "dst" / U8(name)) << name;
    const Files src = Folders::Contents(f.Src()), dst = Folders::Contents(f.Dst());
    Json job = Json::parse(c.job, nullptr, false);
    if (job.is_object()) {
        if (!job.contains("source")) job["source"] = f.Src();
        // A real run renames in place unless the row says otherwise.
        if (!job.contains("destination") && !job.contains("run")) job["destination"] = f.Dst();
        if (!job.contains("now")) job["now"] = "2024-03-07T09:05:03";
    }
    const auto o = f.Run(job.is_discarded() ? c.job : job.dump());

    EXPECT_EQ(Folders::Contents(f.Src()), c.srcAfter.value_or(src));
    EXPECT_EQ(Folders::Contents(f.Dst()), dst);
    if (c.expect.empty()) {
        EXPECT_EQ(o.status, 2);
        EXPECT_EQ(o.out, "");
        EXPECT_TRUE(o.err.starts_with("jobrun: ") && o.err.find('\n') == o.err.size() - 1) << o.err;
        return;
    }
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    const Json result = Json::parse(o.out);
    ExpectHolds(result, Json::parse(c.expect));
    EXPECT_EQ(result.at("progressOpen"), false);
    // A test run that went through shows the table's new names and folders.
    if (job.value("run", "test") != "test" || result.at("flag") != -1) return;
    EXPECT_EQ(result.at("Lst_Kekka"), result.at("table").at("Lst_Test4"));
    const std::string separator(1, static_cast<char>(fs::path::preferred_separator));
    EXPECT_EQ(result.at("table").at("Lbl_TestPath1"), f.Src() + separator);
    if (job.at("destination") == f.Dst()) {
        EXPECT_EQ(result.at("table").at("Lbl_TestPath2"), f.Dst() + separator);
    }
}

std::string Refused(const char* text, const char* title, const char* more = "") {
    return std::string(R"({"flag": 0, "messages": [{"text": ")") + text + R"(", "title": ")" + title +
           R"(", "buttons": 0, "answer": 1}])" + more + "}";
}
#define ZV_ALL_PHASES R"(, "phases": ["チェック中", "変換中", "チェック中"])"
#define ZV_QUESTION R"({"text": "変換処理を開始しますか？", "title": "開始", "buttons": 4, "answer": )"

// clang-format off
INSTANTIATE_TEST_SUITE_P(Jobs, JobRunAcceptance, testing::Values(
    // One row per mode.
    JobCase{"numbering_defaults", {"photo.jpeg", "abc"}, {}, "{}",
            R"({"flag": -1, "messages": [], "focus": null)" ZV_ALL_PHASES R"(, "Lst_Kekka": ["1", "2.jpeg"],
                "table": {"Lst_Test1": ["abc", "photo.jpeg"], "Lst_Test2": ["abc", "photo"], "Lst_Test3": ["", ".jpeg"]},
                "controls": {"Txt_YY": "2024", "Txt_MM": "3", "Txt_DD": "7", "Txt_H": "9", "Txt_M": "5", "Txt_S": "3"}})"},
    JobCase{"append_into_missing_destination", {"photo.jpeg", "memo.txt"}, {},
            R"({"destination": "/nonexistent/zorvik", "controls": {"Chk_syori": [1, 0], "Txt_B_text": "A_", "Txt_A_text": "_B"}})",
            R"({"flag": -1, "Lst_Kekka": ["A_memo_B.txt", "A_photo_B.jpeg"]})"},
    JobCase{"replace_every_match_in_selected_rows", {}, {},
            R"({"files": ["2001_2001.txt", "2001.txt", "abc.txt"], "selected": [0, 2],
                "controls": {"Chk_syori": [0, 1], "Txt_B_text": "2001", "Txt_A_text": "2002"}})",
            R"({"flag": -1, "Lst_Kekka": ["2002_2002.txt", "abc.txt"]})"},
    JobCase{"real_rename_in_place", {"い.jpg", "あ.jpg"}, {},
            R"({"run": "real", "controls": {"Txt_B_text": "写真_", "Lbl_keta": "3"}})",
            R"({"flag": -1, "messages": [)" ZV_QUESTION R"(6}], "Lst_Kekka": [], "conversionDisabled": true,
                "phases": ["チェック中", "変換中", "チェック中", "書き込み中"]})",
            Files{{"写真_001.jpg", "あ.jpg"}, {"写真_002.jpg", "い.jpg"}}},
    JobCase{"real_answered_no", {"a.jpg"}, {},
            R"({"run": "real", "answers": [7], "controls": {"Txt_B_text": "IMG_"}})",
            R"({"flag": 0, "messages": [)" ZV_QUESTION R"(7}], "phases": [], "conversionDisabled": false})"},
    // The time-stamp question, then one row per kind of refusal as jobrun
    // reports it (answer, focus, phases); the engine's tests check each rule.
    JobCase{"time_stamp_filled_with_now", {"a.jpg"}, {},
            R"({"controls": {"Chk_DateLock": 1, "Txt_YY": "1999", "Txt_S": ""}, "now": "2031-12-01T00:07:00"})",
            R"({"flag": -1, "focus": null, "messages": [{"text": "タイムスタンプが設定されていません。\r\n本日日付を使用しますか？",
                "title": "入力エラー", "buttons": 1, "answer": 1}],
                "controls": {"Txt_YY": "2031", "Txt_MM": "12", "Txt_DD": "1", "Txt_H": "0", "Txt_M": "7", "Txt_S": "0"}})"},
    JobCase{"refuse_input", {"a.jpg"}, {}, R"({"controls": {"Txt_B_text": "a/b"}})",
            Refused(R"(固定文字列（前半部）\r\nファイル名に使用できない文字が有ります。)", "入力エラー",
                    R"(, "focus": "Txt_B_text", "phases": ["チェック中"])")},
    JobCase{"refuse_system_file", {"a.jpg", "SETUP.EXE"}, {}, "{}",
            Refused(R"(このまま変換するとシステムが不安定になる可能性が有ります。\r\n選択したファイル名を確認して下さい。)",
                    "ファイル選択エラー", R"(, "focus": null, "phases": ["チェック中"])")},
    JobCase{"refuse_digit_overflow", {"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg", "6.jpg", "7.jpg", "8.jpg", "9.jpg", "10.jpg"},
            {}, R"({"controls": {"Txt_B_text": "n"}})",
            Refused(R"(オーバーフロー\r\n桁数を確認して下さい。)", "桁数の超過", R"(, "phases": ["チェック中", "変換中"])")},
    JobCase{"refuse_long_name", {"a.jpg"}, {}, R"({"controls": {"Txt_A_text": ")" + std::string(260, 'x') + R"("}})",
            Refused("ファイル名が長すぎます。", "ファイル名超過", ZV_ALL_PHASES)},
    JobCase{"refuse_name_taken_in_other_case", {"a.jpg"}, {"img_001.JPG"},
            R"({"controls": {"Txt_B_text": "IMG_", "Lbl_keta": "3"}})",
            Refused("変換後のファイル名が重複しています。", "ファイル指定エラー", R"(, "focus": null)" ZV_ALL_PHASES)},
    // Input that is not a job.
    JobCase{"not_json", {}, {}, "{source", ""}, JobCase{"not_an_object", {}, {}, "[1]", ""},
    JobCase{"empty_source", {}, {}, R"({"source": ""})", ""}, JobCase{"source_not_found", {}, {}, R"({"source": "/nonexistent/zorvik"})", ""},
    JobCase{"unknown_key", {}, {}, R"({"sauce": 1})", ""}, JobCase{"unknown_control", {}, {}, R"({"controls": {"Txt_X": ""}})", ""},
    JobCase{"text_as_number", {}, {}, R"({"controls": {"Txt_Startnum": 1}})", ""}, JobCase{"check_out_of_range", {}, {}, R"({"controls": {"Chk_DateLock": 2}})", ""},
    JobCase{"row_out_of_range", {"a"}, {}, R"({"selected": [1]})", ""}, JobCase{"answer_not_a_button", {}, {}, R"({"answers": [3]})", ""},
    JobCase{"now_not_a_time", {}, {}, R"({"now": "2024-03-07 09:05"})", ""}, JobCase{"run_unknown", {}, {}, R"({"run": "dry"})", ""},
    JobCase{"too_many_files", {}, {}, Json{{"files", std::vector<std::string>(32768, "f")}}.dump(), ""}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

TEST(UndoAcceptance, UndoTakesTheRunBackAndCanItselfBeTakenBackOnce) {
    Folders f;
    const Files before = {{"a.jpg", "A"}, {"b.jpg", "B"}},
                after = {{"IMG_001.jpg", "A"}, {"IMG_002.jpg", "B"}};
    for (const auto& [name, data] : before) std::ofstream(f.root / "src" / name) << data;
    f.Ran({{"source", f.Src()}, {"run", "real"}, {"controls", {{"Txt_B_text", "IMG_"}, {"Lbl_keta", "3"}}}});
    ASSERT_EQ(Folders::Contents(f.Src()), after);

    const auto box = [](const char* text, int buttons, int answer) {
        return Json{{"text", text}, {"title", "元に戻す"}, {"buttons", buttons}, {"answer", answer}};
    };
    const Json question = box("直前の変換処理を元に戻しますか？\r\n2 個のファイルを元に戻します。", 4, 6),
               report = box("2 個のファイルを元に戻しました。", 0, 1);
    const struct {
        const char* run;
        Json messages;
        int flag;
        Files folder;
    } steps[] = {
        {"undo", {question, report}, -1, before},
        {"undo", {question, report}, -1, after},  // the undo taken back
        {"undo", Json::array({box("元に戻すファイルはありません。", 0, 1)}), 0, after},
        {"recover", Json::array(), 0, after},
    };
    for (const auto& step : steps) {
        const Json result = f.Ran({{"run", step.run}, {"answers", {6}}});
        EXPECT_EQ(result.at("messages"), step.messages) << step.run;
        EXPECT_EQ(result.at("flag"), step.flag) << step.run;
        EXPECT_EQ(Folders::Contents(f.Src()), step.folder) << step.run;
    }
}

#ifndef _WIN32
TEST(KilledRunAcceptance, RecoveryPutsEveryContentBackUnderItsOldNameExactlyOnce) {
    constexpr int kFiles = 20000;
    Folders f;
    std::mt19937 random(std::random_device{}());
    for (int i = 1; i <= kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f%05d.dat", i);
        std::ofstream(fs::path(f.Src()) / name, std::ios::binary) << "file " << i << " " << random() << "\n";
    }
    const Files before = Folders::Contents(f.Src());
    ASSERT_EQ(before.size(), std::size_t{kFiles});

    const Json job = {
        {"source", f.Src()}, {"run", "real"}, {"controls", {{"Txt_B_text", "IMG_"}, {"Lbl_keta", "5"}}}};
    std::ofstream(f.root / "job.json") << job.dump();
    const std::string command = Command(f.root);
    const pid_t pid = ::fork();
    if (pid == 0) ::execl("/bin/sh", "sh", "-c", command.c_str(), nullptr), ::_exit(127);
    ASSERT_GT(pid, 0);
    // Once the first file has its new name, a random moment later.
    const fs::path first = fs::path(f.Src()) / "IMG_00001.dat";
    int status = 0;
    while (!fs::exists(first) && ::waitpid(pid, &status, WNOHANG) == 0)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 60)(random)));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    std::size_t renamed = 0;
    for (const auto& e : fs::directory_iterator(f.Src()))
        renamed += e.path().filename().string().starts_with("IMG_");
    std::printf("killed with %zu of %d files renamed\n", renamed, kFiles);

    Json result = f.Ran({{"run", "recover"}, {"answers", {6}}});
    // A run that was quicker than the kill is complete: undo takes it back.
    if (result.at("messages").empty())
        result = f.Ran({{"run", "undo"}, {"answers", {6}}});
    else
        EXPECT_EQ(result.at("messages")[0].at("title"), "復旧");
    EXPECT_EQ(result.at("flag"), -1);
    EXPECT_EQ(Folders::Contents(f.Src()), before);
}

#endif

}  // namespace
