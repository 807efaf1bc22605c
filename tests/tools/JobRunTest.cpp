// Acceptance: the jobrun program, run end to end on temporary folders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "JobRunProcess.h"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

using Outcome = zvtest::JobRunOutcome;

class Sandbox {
  public:
    Sandbox() {
        std::string pattern = (fs::temp_directory_path() / "zv-jobrun-XXXXXX").string();
        root_ = mkdtemp(pattern.data());
        fs::create_directory(root_ / "src");
        fs::create_directory(root_ / "dst");
    }
    ~Sandbox() { fs::remove_all(root_); }

    std::string Src() const { return (root_ / "src").string(); }
    std::string Dst() const { return (root_ / "dst").string(); }
    void Touch(const fs::path& path) const { std::ofstream(path) << "x"; }

    // Runs jobrun with the text on its standard input.
    Outcome Run(const std::string& input) const { return zvtest::RunJobRun(root_, input); }

    std::vector<std::string> Listing(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    fs::path root_;
};

struct JobCase {
    const char* label;
    std::vector<std::string> srcFiles, dstFiles;
    std::string job;     // "source" and "destination" default to the sandbox folders
    std::string expect;  // every key given must equal the result's
};

class JobRunAcceptance : public testing::TestWithParam<JobCase> {};

TEST_P(JobRunAcceptance, AnswersTheJob) {
    const auto& c = GetParam();
    Sandbox box;
    for (const auto& f : c.srcFiles) box.Touch(fs::path(box.Src()) / f);
    for (const auto& f : c.dstFiles) box.Touch(fs::path(box.Dst()) / f);
    Json job = Json::parse(c.job);
    if (!job.contains("source")) job["source"] = box.Src();
    if (!job.contains("destination")) job["destination"] = box.Dst();
    if (!job.contains("now")) job["now"] = "2024-03-07T09:05:03";
    const auto before = box.Listing(box.Src());

    const Outcome o = box.Run(job.dump());
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    const Json result = Json::parse(o.out);
    const Json expected = Json::parse(c.expect);
    for (const auto& [key, value] : expected.items()) EXPECT_EQ(result.at(key), value) << key;

    // Common to every test run: nothing on disk changes, the progress window
    // is gone, and the result list is filled exactly when the job went through.
    EXPECT_EQ(box.Listing(box.Src()), before);
    EXPECT_EQ(result.at("progressOpen"), false);
    if (result.at("flag") == -1) {
        EXPECT_EQ(result.at("Lst_Kekka"), result.at("table").at("Lst_Test4"));
    } else {
        EXPECT_EQ(result.at("Lst_Kekka"), Json::array());
        EXPECT_EQ(result.at("messages").size(), 1u);
    }
}

#define ZV_PHASES_ALL R"("phases": ["チェック中", "変換中", "チェック中"])"
#define ZV_PHASE_FIRST R"("phases": ["チェック中"])"
#define ZV_INPUT_ERROR(text) \
    R"("messages": [{"text": ")" text R"(", "title": "入力エラー", "buttons": 0, "answer": 1}])"

// clang-format off
INSTANTIATE_TEST_SUITE_P(Jobs, JobRunAcceptance, testing::Values(
    JobCase{"defaults_number_from_one", {"b.jpg", "a.jpg"}, {}, "{}",
            R"({"flag": -1, "messages": [], "focus": null, )" ZV_PHASES_ALL R"(, "Lst_Kekka": ["1.jpg", "2.jpg"],
                "controls": {"Txt_YY": "2024", "Txt_MM": "3", "Txt_DD": "7", "Txt_H": "9", "Txt_M": "5", "Txt_S": "3"}})"},
    JobCase{"numbering_selected_rows", {}, {},
            R"({"files": ["x.jpg", "y.jpg", "z.jpg"], "selected": [0, 2],
                "controls": {"Txt_Startnum": "10", "Lbl_up": "-5", "Chk_keta_lock": 0}})",
            R"({"flag": -1, "messages": [], "Lst_Kekka": ["10.jpg", "5.jpg"]})"},
    JobCase{"append_mode", {"photo.jpeg", "memo.txt"}, {},
            R"({"controls": {"Chk_syori": [1, 0], "Txt_B_text": "A_", "Txt_A_text": "_B"}})",
            R"({"flag": -1, "Lst_Kekka": ["A_memo_B.txt", "A_photo_B.jpeg"]})"},
    JobCase{"replace_mode_refuses_existing_names", {"2001_2001.txt", "abc.txt"}, {"abc.txt"},
            R"({"controls": {"Chk_syori": [0, 1], "Txt_B_text": "2001", "Txt_A_text": "2002"}})",
            R"({"flag": 0, "focus": null, )" ZV_PHASES_ALL R"(, "messages": [{"text":
                "変換後のファイル名が重複しています。", "title": "ファイル指定エラー", "buttons": 0, "answer": 1}]})"},
    JobCase{"missing_destination_has_no_names", {"a.jpg"}, {},
            R"({"destination": "/nonexistent/zorvik"})",
            R"({"flag": -1, "Lst_Kekka": ["1.jpg"]})"},
    JobCase{"refuse_forbidden_in_first", {"a.jpg"}, {},
            R"({"controls": {"Txt_B_text": "a/b"}})",
            R"({"flag": 0, "focus": "Txt_B_text", )" ZV_PHASE_FIRST ", "
                ZV_INPUT_ERROR(R"(固定文字列（前半部）\r\nファイル名に使用できない文字が有ります。)") "}"},
    JobCase{"time_stamp_declined", {"a.jpg"}, {},
            R"({"controls": {"Chk_DateLock": 1, "Txt_S": ""}, "answers": [2]})",
            R"({"flag": 0, "focus": "Txt_YY", )" ZV_PHASE_FIRST R"(,
                "messages": [{"text": "タイムスタンプが設定されていません。\r\n本日日付を使用しますか？",
                              "title": "入力エラー", "buttons": 1, "answer": 2}],
                "controls": {"Txt_YY": "2024", "Txt_MM": "3", "Txt_DD": "7", "Txt_H": "9", "Txt_M": "5", "Txt_S": ""}})"},
    JobCase{"time_stamp_filled_with_now", {"a.jpg"}, {},
            R"({"controls": {"Chk_DateLock": 1, "Txt_YY": "1999", "Txt_S": ""}, "now": "2031-12-01T00:07:00"})",
            R"({"flag": -1, "focus": null,
                "messages": [{"text": "タイムスタンプが設定されていません。\r\n本日日付を使用しますか？",
                              "title": "入力エラー", "buttons": 1, "answer": 1}],
                "controls": {"Txt_YY": "2031", "Txt_MM": "12", "Txt_DD": "1", "Txt_H": "0", "Txt_M": "7", "Txt_S": "0"}})"},
    JobCase{"refuse_empty_start", {"a.jpg"}, {},
            R"({"controls": {"Txt_Startnum": ""}})",
            R"({"flag": 0, "focus": "Txt_Startnum", )" ZV_INPUT_ERROR("開始番号を入力して下さい。") "}"},
    JobCase{"refuse_append_without_texts", {"a.jpg"}, {},
            R"({"controls": {"Chk_syori": [1, 0]}})",
            R"({"flag": 0, "focus": "Txt_B_text", )" ZV_INPUT_ERROR("固定文字列を入力して下さい。") "}"},
    JobCase{"refuse_system_file", {"a.jpg", "SETUP.EXE"}, {}, "{}",
            R"({"flag": 0, "focus": null, )" ZV_PHASE_FIRST R"(, "messages": [{"text":
                "このまま変換するとシステムが不安定になる可能性が有ります。\r\n選択したファイル名を確認して下さい。",
                "title": "ファイル選択エラー", "buttons": 0, "answer": 1}]})"},
    JobCase{"refuse_digit_overflow",
            {"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg", "6.jpg", "7.jpg", "8.jpg", "9.jpg", "10.jpg"}, {},
            R"({"controls": {"Txt_B_text": "n"}})",
            R"({"flag": 0, "phases": ["チェック中", "変換中"], "messages": [{"text":
                "オーバーフロー\r\n桁数を確認して下さい。", "title": "桁数の超過", "buttons": 0, "answer": 1}]})"},
    JobCase{"refuse_number_below_zero", {"a.jpg", "b.jpg"}, {},
            R"({"controls": {"Lbl_up": "-1"}})",
            R"({"flag": 0, "phases": ["チェック中", "変換中"], "messages": [{"text":
                "オーバーフロー\r\n連番が０未満または2147483648以上になりました。", "title": "連番の超過",
                "buttons": 0, "answer": 1}]})"},
    JobCase{"refuse_long_name", {"a.jpg"}, {},
            R"({"controls": {"Txt_A_text": ")" + std::string(260, 'x') + R"("}})",
            R"({"flag": 0, )" ZV_PHASES_ALL R"(, "messages": [{"text": "ファイル名が長すぎます。",
                "title": "ファイル名超過", "buttons": 0, "answer": 1}]})"},
    JobCase{"refuse_extension_only_name", {"a.txt", "old.jpeg"}, {},
            R"({"controls": {"Chk_syori": [0, 1], "Txt_B_text": "old"}})",
            R"({"flag": 0, "messages": [{"text": "ファイル名が空白です。", "title": "ファイル名無し",
                "buttons": 0, "answer": 1}]})"},
    JobCase{"refuse_existing_name", {"a.jpg"}, {"img_001.JPG"},
            R"({"controls": {"Txt_B_text": "IMG_", "Lbl_keta": "3"}})",
            R"({"flag": 0, "focus": null, )" ZV_PHASES_ALL R"(, "messages": [{"text":
                "変換後のファイル名が重複しています。", "title": "ファイル指定エラー", "buttons": 0, "answer": 1}]})"}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

TEST(JobRunTable, ReportsFoldersAndAllFourColumns) {
    Sandbox box;
    box.Touch(fs::path(box.Src()) / "photo.jpeg");
    box.Touch(fs::path(box.Src()) / "abc");
    const Json job = {{"source", box.Src()}, {"controls", {{"Chk_keta_lock", 0}}}};
    const Outcome o = box.Run(job.dump());
    ASSERT_EQ(o.status, 0) << o.err;
    const Json t = Json::parse(o.out).at("table");
    EXPECT_EQ(t.at("Lbl_TestPath1"), box.Src() + "/");
    EXPECT_EQ(t.at("Lbl_TestPath2"), box.Src() + "/");  // the destination defaults to the source
    EXPECT_EQ(t.at("Lst_Test1"), Json({"abc", "photo.jpeg"}));
    EXPECT_EQ(t.at("Lst_Test2"), Json({"abc", "photo"}));
    EXPECT_EQ(t.at("Lst_Test3"), Json({"", ".jpeg"}));
    EXPECT_EQ(t.at("Lst_Test4"), Json({"1", "2.jpeg"}));
}

struct MalformedCase {
    const char* label;
    std::string input;  // "{SRC}" stands for an existing folder
};

class JobRunMalformed : public testing::TestWithParam<MalformedCase> {};

TEST_P(JobRunMalformed, ExitsTwoWithOneLine) {
    Sandbox box;
    std::string input = GetParam().input;
    for (std::size_t at; (at = input.find("{SRC}")) != std::string::npos;) input.replace(at, 5, box.Src());
    const Outcome o = box.Run(input);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    ASSERT_FALSE(o.err.empty());
    EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;
    EXPECT_EQ(o.err.rfind("jobrun: ", 0), 0u) << o.err;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, JobRunMalformed,
    testing::Values(
        MalformedCase{"not_json", "{source"}, MalformedCase{"not_an_object", "[1]"},
        MalformedCase{"no_source", "{}"},
        MalformedCase{"source_missing_folder", R"({"source": "/nonexistent/zorvik"})"},
        MalformedCase{"unknown_key", R"({"source": "{SRC}", "sauce": 1})"},
        MalformedCase{"unknown_control", R"({"source": "{SRC}", "controls": {"Txt_X": ""}})"},
        MalformedCase{"text_as_number", R"({"source": "{SRC}", "controls": {"Txt_Startnum": 1}})"},
        MalformedCase{"check_out_of_range", R"({"source": "{SRC}", "controls": {"Chk_DateLock": 2}})"},
        MalformedCase{"selected_out_of_range", R"({"source": "{SRC}", "files": ["a"], "selected": [1]})"},
        MalformedCase{"answer_not_a_button", R"({"source": "{SRC}", "answers": [3]})"},
        MalformedCase{"now_out_of_range", R"({"source": "{SRC}", "now": "2024-13-07T09:05:03"})"},
        MalformedCase{"run_unknown", R"({"source": "{SRC}", "run": "dry"})"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(JobRunMalformed, TooManyFiles) {
    Sandbox box;
    Json job = {{"source", box.Src()}, {"files", Json::array()}};
    for (int i = 0; i < 32768; ++i) job["files"].push_back("f" + std::to_string(i));
    const Outcome o = box.Run(job.dump());
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("32767"), std::string::npos) << o.err;
}

}  // namespace
