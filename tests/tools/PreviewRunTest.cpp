// Acceptance: the previewrun program's contract, on files made in the test.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "shared/posix/ScratchFolder.h"

namespace {

using Json = nlohmann::json;
using zv::test::ScratchFolder;
using namespace std::string_literals;

// A 2 x 1 bitmap: a red pixel, then a blue one.
const std::string kBmp =
    "BM\x3E\0\0\0\0\0\0\0\x36\0\0\0"
    "\x28\0\0\0\x02\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x08\0\0\0\x13\x0B\0\0\x13\x0B\0\0\0\0\0\0\0\0\0\0"
    "\0\0\xFF\xFF\0\0\0\0"s;

struct PreviewCase {
    const char* name;
    const char* file;
    std::string bytes;
    const char* expect;  // every key of the result, but ms
};

void PrintTo(const PreviewCase& c, std::ostream* os) { *os << c.name; }

class PreviewRunContract : public testing::TestWithParam<PreviewCase> {
  protected:
    struct Outcome {
        int status;
        std::string out;
    };
    // Runs previewrun with these arguments, its output into a file.
    Outcome Run(const std::string& args) {
        const std::string out = scratch_.Path("out.txt");
        const int status =
            std::system((ZV_PREVIEWRUN_PATH " " + args + " > '" + out + "' 2> /dev/null").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ScratchFolder::Read(out)};
    }
    ScratchFolder scratch_;
};

TEST_P(PreviewRunContract, PrintsWhatThePreviewShows) {
    const PreviewCase& c = GetParam();
    const std::string file = scratch_.Path(c.file), png = scratch_.Path("shown.png");
    ScratchFolder::Write(file, c.bytes);
    const auto o = Run("'" + file + "' --png '" + png + "'");
    ASSERT_EQ(o.status, 0) << o.out;
    Json result = Json::parse(o.out);
    EXPECT_GE(result.at("ms").get<double>(), 0) << o.out;
    result.erase("ms");
    EXPECT_EQ(result, Json::parse(c.expect));
    // The picture is written exactly when one is shown: a PNG of its size.
    const std::string written = ScratchFolder::Read(png);
    EXPECT_EQ(!written.empty(), !result.at("picture").is_null());
    if (!written.empty()) {
        EXPECT_EQ(written.substr(1, 3), "PNG");
        EXPECT_EQ(written.substr(16, 8), "\0\0\0\x02\0\0\0\x01"s);  // IHDR width and height
    }
}

TEST_F(PreviewRunContract, WrongCommandLineIsRefused) {
    for (const char* args : {"", "a.txt --png", "--png a.png a.txt"}) EXPECT_EQ(Run(args).status, 2) << args;
}

INSTANTIATE_TEST_SUITE_P(
    Files, PreviewRunContract,
    testing::Values(
        PreviewCase{
            "shift_jis_text", "readme.txt", "\x82\xA0\r\nb",
            R"({"viewer":"text","encoding":"windows-31j","text":"あ\nb","picture":null,"messages":[]})"},
        PreviewCase{"rich_text", "memo.RTF", R"({\rtf1 {\b x}y\v hidden})",
                    R"({"viewer":"rtf","encoding":null,"text":"xy","picture":null,"messages":[]})"},
        PreviewCase{"picture", "dot.bmp", kBmp,
                    R"({"viewer":"picture","encoding":null,"text":null,"picture":{"width":2,"height":1},
                        "messages":[]})"},
        PreviewCase{"broken_picture", "x.gif", "not a picture",
                    R"({"viewer":"picture","encoding":null,"text":null,"picture":null,
                        "messages":[{"text":"このファイルは表示できません。","title":"読み込みエラー"}]})"},
        PreviewCase{"broken_wav", "x.wav", "RIFF....WAVE",
                    R"({"viewer":"wav","encoding":null,"text":null,"picture":null,
                        "messages":[{"text":"正常に再生できません","title":"再生エラー"}]})"},
        PreviewCase{"other_extension", "x.jpeg", kBmp,
                    R"({"viewer":"none","encoding":null,"text":null,"picture":null,"messages":[]})"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
