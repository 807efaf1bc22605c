// The real run against an in-memory file system: what each error code tells
// the user, what a failure leaves undone, and how the time-stamp boxes are read.
#include <gtest/gtest.h>

#include "engine/EngineFakes.h"

namespace zv::test {
namespace {

const std::u16string kFileError = u"ファイルエラー";
const std::u16string kWriteFailed = u"書き込みに失敗しました。";
const std::u16string kSelectionError = u"ファイル選択エラー";
const std::u16string kAttributeError = u"属性設定エラー";
const std::u16string kNotAFile = u"通常のファイルではないため、変換できません。\r\n選択したファイルを確認して下さい。";

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
    std::u16string title = kFileError;
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
    EXPECT_EQ(rig.messages.shown[1].title, c.title);
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
                                         CodeCase{"Generic", 1, kWriteFailed},
                                         // Another program put a folder there during the run.
                                         CodeCase{"NoLongerAFile", kFsNotAFile, u"a3.txt\r\n" + kNotAFile,
                                                  kSelectionError}),
                         [](const auto& info) { return std::string(info.param.label); });

// ------------------------------------------------ the last look before touching

// Row 3 has changed since the folder was listed, or the destination cannot
// keep what the run sets: the run stops before the first file.
struct LookCase {
    const char* label;
    EntryKind kind;  // of row 3
    bool copy, time, attributes;
    VolumeAbilities volume;
    std::u16string prompt, title;  // empty: the run goes through
};

void PrintTo(const LookCase& c, std::ostream* os) { *os << c.label; }

class LastLookTest : public testing::TestWithParam<LookCase> {};

TEST_P(LastLookTest, RefusesBeforeTheFirstFileOrGoesThrough) {
    const LookCase& c = GetParam();
    FiveFiles rig(c.copy ? OsPath(u"/dst") : OsPath(u"/src"));
    rig.files.AddFolder(OsPath(u"/dst"));
    rig.files.kinds[FiveFiles::Src(3)] = c.kind;
    if (c.kind == EntryKind::kMissing) rig.files.files.erase(FiveFiles::Src(3));
    rig.files.abilities = c.volume;
    rig.settings.SetValue("Opt_Cpymov(0)", c.copy ? -1 : 0);
    rig.settings.SetValue("Chk_DateLock", c.time);
    rig.settings.SetValue("Chk_Attrib", c.attributes);
    rig.settings.SetValue("Chk_Att_Set(1)", 1);

    EXPECT_EQ(rig.engine.RealRun(), c.prompt.empty() ? kGoOn : kStop);

    if (c.prompt.empty()) {
        EXPECT_EQ(rig.messages.shown.size(), 1u);
        return;
    }
    ASSERT_EQ(rig.messages.shown.size(), 2u);
    EXPECT_EQ(rig.messages.shown[1].prompt, c.prompt);
    EXPECT_EQ(rig.messages.shown[1].title, c.title);
    EXPECT_TRUE(rig.files.log.empty()) << "a file was touched";
    EXPECT_FALSE(rig.progress.IsOpen());
}

const VolumeAbilities kEverything{};
const VolumeAbilities kReadOnlyOnly{kAttrReadOnly, true, false};
const VolumeAbilities kLinksTakeTime{39, true, false};

INSTANTIATE_TEST_SUITE_P(
    Cases, LastLookTest,
    testing::Values(
        LookCase{"Folder", EntryKind::kFolder, false, false, false, kEverything, u"a3.txt\r\n" + kNotAFile,
                 kSelectionError},
        LookCase{"Fifo", EntryKind::kOther, true, false, false, kEverything, u"a3.txt\r\n" + kNotAFile,
                 kSelectionError},
        LookCase{"Missing", EntryKind::kMissing, false, false, false, kEverything,
                 u"a3.txt\r\nファイルが見つかりません。\r\n選択したファイルを確認して下さい。", kSelectionError},
        // A copy needs data: a dangling link or a link to a folder has none.
        LookCase{"CopyDanglingLink", EntryKind::kOtherLink, true, false, false, kEverything,
                 u"a3.txt\r\n" + kNotAFile, kSelectionError},
        LookCase{"RenameDanglingLink", EntryKind::kOtherLink, false, false, false, kEverything, u"", u""},
        LookCase{"CopyLinkWithAttributes", EntryKind::kLinkToFile, true, true, true, kEverything, u"", u""},
        LookCase{"RenameLinkWithTime", EntryKind::kLinkToFile, false, true, false, kLinksTakeTime, u"", u""},
        LookCase{"RenameLinkWithAttributes", EntryKind::kLinkToFile, false, false, true, kLinksTakeTime,
                 u"a3.txt\r\nシンボリックリンクには属性を設定できません。\r\n属性の設定を確認して下さい。",
                 kAttributeError},
        LookCase{"LinkTimeNotKept", EntryKind::kLinkToFile, false, true, false, VolumeAbilities{39, false, false},
                 u"a3.txt\r\nシンボリックリンクには日付を設定できません。\r\n日付の設定を確認して下さい。",
                 kAttributeError},
        LookCase{"HiddenNotKept", EntryKind::kFile, false, false, true, kReadOnlyOnly,
                 u"保存先のドライブには、選択した属性を設定できません。\r\n属性の設定を確認して下さい。",
                 kAttributeError}),
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
