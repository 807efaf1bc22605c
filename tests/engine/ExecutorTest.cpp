// The real run against an in-memory file system: what each error code tells
// the user, what a failure leaves undone, and how the time-stamp boxes are read.
#include <gtest/gtest.h>

#include "engine/EngineFakes.h"

namespace zv::test {
namespace {

const std::u16string kFileError = u"ファイルエラー";
const std::u16string kWriteFailed = u"書き込みに失敗しました。";

// Five files a1..a5 in /src, replace mode "a" -> "b"; the failures are
// planted in the file system, so the checks pass and the executor meets them.
struct FiveFiles : EngineRig {
    explicit FiveFiles(const std::u16string& destination = OsPath(u"/src")) {
        std::vector<std::u16string> names;
        for (int i = 1; i <= 5; ++i) {
            std::u16string name = u"a" + std::u16string(1, static_cast<char16_t>(u'0' + i)) + u".txt";
            files.AddFile(OsPath(u"/src"), name, {0, {2001, 1, 1, 0, 0, 0}, "data"});
            names.push_back(name);
        }
        settings.SelectAll(names);
        settings.SetValue("Chk_syori(1)", 1);
        settings.SetText("Txt_B_text", u"a");
        settings.SetText("Txt_A_text", u"b");
        settings.SetText("A_Dir", destination);
    }
    static std::u16string Src(int i) {
        return OsPath(u"/src/a") + std::u16string(1, static_cast<char16_t>(u'0' + i)) + u".txt";
    }
    static std::u16string Dst(const std::u16string& folder, int i) {
        return folder + OsPath(u"/b") + std::u16string(1, static_cast<char16_t>(u'0' + i)) + u".txt";
    }
};

// ------------------------------------------------ failures by error code

struct CodeCase {
    const char* label;
    int code;
    std::u16string message;
};

void PrintTo(const CodeCase& c, std::ostream* os) { *os << c.label; }

class FailureOnThirdRowTest : public testing::TestWithParam<CodeCase> {};

TEST_P(FailureOnThirdRowTest, StopsWithTheCodesMessageAndLeavesTheRestUntouched) {
    const CodeCase& c = GetParam();
    FiveFiles rig;
    rig.settings.SetValue("Chk_Attrib", 1);
    rig.settings.SetValue("Chk_Att_Set(1)", 1);
    rig.files.failures[FiveFiles::Dst(OsPath(u"/src"), 3)] = c.code;

    EXPECT_EQ(rig.engine.RealRun(), kStop);

    ASSERT_EQ(rig.messages.shown.size(), 2u);
    EXPECT_EQ(rig.messages.shown[1].prompt, c.message);
    EXPECT_EQ(rig.messages.shown[1].title, kFileError);
    EXPECT_EQ(rig.messages.shown[1].buttons, kOkOnly);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(rig.files.GetAttributes(FiveFiles::Dst(OsPath(u"/src"), i)), kAttrHidden) << "row " << i;
    }
    for (int i = 3; i <= 5; ++i) {
        EXPECT_EQ(rig.files.GetAttributes(FiveFiles::Src(i)), 0) << "row " << i << " was touched";
        EXPECT_FALSE(rig.files.FileExists(FiveFiles::Dst(OsPath(u"/src"), i)));
    }
    // Nothing after the failing step: no attributes for row 3, no refresh.
    EXPECT_EQ(rig.files.log.back(),
              u"rename " + FiveFiles::Src(3) + u" -> " + FiveFiles::Dst(OsPath(u"/src"), 3));
    EXPECT_EQ(rig.view.fileListRefreshes, 0);
    EXPECT_EQ(rig.view.disables, 0);
    EXPECT_FALSE(rig.progress.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Codes, FailureOnThirdRowTest,
                         testing::Values(CodeCase{"DiskFull", 61, u"ディスクの容量不足です。"},
                                         CodeCase{"Denied", 70, u"書き込みができません。"},
                                         CodeCase{"Generic", 1, kWriteFailed}),
                         [](const auto& info) { return std::string(info.param.label); });

// ------------------------------------------------ sound behaviours

TEST(RealRunTest, RefusedPipelineDoesNotWrite) {
    FiveFiles rig;
    rig.settings.SetValue("Chk_syori(1)", 0);
    rig.settings.SetValue("Chk_syori(0)", 1);  // append mode with both texts empty
    rig.settings.SetText("Txt_B_text", u"");
    rig.settings.SetText("Txt_A_text", u"");

    EXPECT_EQ(rig.engine.RealRun(), kStop);

    EXPECT_TRUE(rig.files.log.empty());
    EXPECT_FALSE(rig.progress.IsOpen());
    for (const auto& phase : rig.progress.phases) EXPECT_NE(phase, u"書き込み中");
}

TEST(RealRunTest, UnchangedNameIsNoClashAndStillGetsTimeAndAttributes) {
    FiveFiles rig;
    rig.files.AddFile(OsPath(u"/src"), u"zz.txt");
    rig.settings.SelectAll({u"a1.txt", u"zz.txt", u"a3.txt"});
    rig.settings.SetValue("Chk_DateLock", 1);
    rig.settings.SetValue("Chk_Attrib", 1);
    rig.settings.SetValue("Chk_Att_Set(0)", 1);

    EXPECT_EQ(rig.engine.RealRun(), kGoOn);

    EXPECT_EQ(rig.messages.shown.size(), 1u);
    for (const auto& entry : rig.files.log)
        EXPECT_EQ(entry.find(u"rename /src/zz.txt"), std::u16string::npos);
    EXPECT_EQ(rig.files.GetAttributes(OsPath(u"/src/zz.txt")), kAttrReadOnly);
    EXPECT_EQ(rig.files.files[OsPath(u"/src/zz.txt")].lastWrite, (LocalDateTime{2024, 3, 7, 9, 5, 3}));
    EXPECT_TRUE(rig.files.FileExists(OsPath(u"/src/b3.txt")));
}

TEST(RealRunTest, FailingRefreshIsAFailure) {
    FiveFiles rig;
    rig.view.refreshFileListSucceeds = false;

    EXPECT_EQ(rig.engine.RealRun(), kStop);

    ASSERT_EQ(rig.messages.shown.size(), 2u);
    EXPECT_EQ(rig.messages.shown[1].prompt, kWriteFailed);
    EXPECT_EQ(rig.view.disables, 0);
    EXPECT_FALSE(rig.progress.IsOpen());
}

TEST(RealRunTest, SecondRunDuringARunIsRefused) {
    FiveFiles rig;
    StepFlag nested = kGoOn;
    int nestedCalls = 0;
    rig.events.onEvents = [&] {
        if (nestedCalls++ == 0) nested = rig.engine.RealRun();
    };

    EXPECT_EQ(rig.engine.RealRun(), kGoOn);

    EXPECT_EQ(nested, kStop);
    EXPECT_EQ(rig.messages.shown.size(), 1u) << "the nested run asked again";
}

// ------------------------------------------------ the time-stamp boxes

struct BoxCase {
    const char* label;
    std::u16string yy, mm, dd, h, m, s;
    bool isNumber;
    LocalDateTime expected;
};

void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.label; }

class TimeStampBoxTest : public testing::TestWithParam<BoxCase> {};

TEST_P(TimeStampBoxTest, BoxesAreReadAsSixteenBitIntegers) {
    const BoxCase& c = GetParam();
    FiveFiles rig;
    rig.settings.SetValue("Chk_DateLock", 1);
    rig.settings.SetText("Txt_YY", c.yy);
    rig.settings.SetText("Txt_MM", c.mm);
    rig.settings.SetText("Txt_DD", c.dd);
    rig.settings.SetText("Txt_H", c.h);
    rig.settings.SetText("Txt_M", c.m);
    rig.settings.SetText("Txt_S", c.s);

    const StepFlag flag = rig.engine.RealRun();

    if (!c.isNumber) {
        EXPECT_EQ(flag, kStop);
        ASSERT_EQ(rig.messages.shown.size(), 2u);
        EXPECT_EQ(rig.messages.shown[1].prompt, kWriteFailed);
        EXPECT_EQ(rig.messages.shown[1].title, kFileError);
        EXPECT_TRUE(rig.files.log.empty()) << "a file was touched before the boxes were read";
        return;
    }
    EXPECT_EQ(flag, kGoOn);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(rig.files.files[FiveFiles::Dst(OsPath(u"/src"), i)].lastWrite, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, TimeStampBoxTest,
    testing::Values(
        BoxCase{"Blanks", u" 2024 ", u"\t3", u"7\u3000", u"9", u"5", u"3", true, {2024, 3, 7, 9, 5, 3}},
        BoxCase{"FullWidthDigits", u"２０２４", u"３", u"７", u"9", u"5", u"3", true, {2024, 3, 7, 9, 5, 3}},
        // Fractions round half to even: 2.5 -> 2, 3.5 -> 4.
        BoxCase{"HalfToEven", u"2024", u"2.5", u"3.5", u"9.49", u"5.51", u"+3", true, {2024, 2, 4, 9, 6, 3}},
        // Numbers but no date: passed on, the file system leaves the time alone.
        BoxCase{"NoValidDate", u"2024", u"13", u"-1", u"99", u"0", u"0", true, {2024, 13, -1, 99, 0, 0}},
        BoxCase{"Largest", u"32767", u"1", u"1", u"0", u"0", u"0", true, {32767, 1, 1, 0, 0, 0}},
        BoxCase{"Letters", u"2024", u"3", u"7", u"9", u"5", u"abc", false, {}},
        BoxCase{"Exponent", u"2e3", u"3", u"7", u"9", u"5", u"3", false, {}},
        BoxCase{"Above16Bits", u"40000", u"3", u"7", u"9", u"5", u"3", false, {}},
        BoxCase{"RoundsAbove16Bits", u"32767.5", u"3", u"7", u"9", u"5", u"3", false, {}},
        BoxCase{"InnerBlank", u"20 24", u"3", u"7", u"9", u"5", u"3", false, {}}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace zv::test
