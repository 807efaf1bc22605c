// The real run on real folders: rename in place, copy and move with time
// stamp and attributes, failures part-way that keep every file, and names
// that are not valid UTF-8.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>

#include "DiskRig.h"

namespace zv::test {
namespace {

enum class Op { kInPlace, kCopy, kMove, kMoveAcross };

// ------------------------------------------------ successful runs

struct RunCase {
    const char* label;
    Op op;
    bool dateLock;
    std::vector<int> boxes;  // Chk_Att_Set indexes chosen; attributes off when empty and !attrib
    bool attrib;
    int mask;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.label; }

class DiskRunTest : public testing::TestWithParam<RunCase> {};

TEST_P(DiskRunTest, EveryFileArrivesWithItsDataTimeAndAttributes) {
    const RunCase& c = GetParam();
    DiskRig rig;
    ASSERT_TRUE(rig.scratch.ok());
    const std::string src = rig.scratch.Folder("src");
    std::string dst = src;
    if (c.op == Op::kCopy || c.op == Op::kMove) dst = rig.scratch.Folder("dst");
    if (c.op == Op::kMoveAcross) {
        if (!ScratchFolder::IsRoot()) GTEST_SKIP() << "mounting a tmpfs needs root";
        dst = rig.scratch.MountTmpfs("dst", 4u << 20);
        if (dst.empty()) GTEST_SKIP() << "tmpfs could not be mounted";
        if (!ScratchFolder::HoldsXattrs(dst)) GTEST_SKIP() << "this kernel's tmpfs holds no user attributes";
    }
    const std::vector<std::string> names = {"c.jpg", "a.jpg", "b.jpg"};
    rig.Folders(src, dst);
    rig.Files(src, names);
    rig.Numbering(u"IMG_");
    rig.Operation(c.op == Op::kCopy);
    rig.settings.SetValue("Chk_DateLock", c.dateLock);
    rig.settings.SetValue("Chk_Attrib", c.attrib);
    for (int box : c.boxes) rig.settings.SetValue("Chk_Att_Set(" + std::to_string(box) + ")", 1);

    ASSERT_EQ(rig.engine.RealRun(), kGoOn);

    ASSERT_EQ(rig.messages.shown.size(), 1u) << ToUtf8(rig.messages.shown.back().prompt);
    const std::set<std::string> expected = {"IMG_001.jpg", "IMG_002.jpg", "IMG_003.jpg"};
    EXPECT_EQ(ScratchFolder::Names(dst), expected);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string to = dst + "/IMG_00" + std::to_string(i + 1) + ".jpg";
        EXPECT_TRUE(HoldsData(to, DiskRig::Content(names[i]))) << to;
        if (c.dateLock) {
            EXPECT_EQ(LocalOf(MTime(to)), (LocalDateTime{2024, 3, 7, 9, 5, 3})) << to;
        } else {
            EXPECT_EQ(MTime(to), kOldTime) << to;
        }
        EXPECT_EQ(Attributes(to), c.attrib ? c.mask : 0) << to;
    }
    if (c.op == Op::kCopy) {
        // The sources keep their names, data, time and attributes.
        EXPECT_EQ(ScratchFolder::Names(src), std::set<std::string>(names.begin(), names.end()));
        for (const auto& n : names) {
            EXPECT_TRUE(HoldsData(src + "/" + n, DiskRig::Content(n)));
            EXPECT_EQ(MTime(src + "/" + n), kOldTime);
            EXPECT_EQ(Attributes(src + "/" + n), 0);
        }
    }
    if (c.op == Op::kMove || c.op == Op::kMoveAcross) {
        EXPECT_TRUE(ScratchFolder::Names(src).empty());
    }
    EXPECT_EQ(rig.view.disables, 1);
    EXPECT_EQ(rig.view.fileListRefreshes, 1);
    EXPECT_FALSE(rig.progress.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, DiskRunTest,
    testing::Values(
        RunCase{"InPlace", Op::kInPlace, false, {}, false, 0},
        RunCase{"CopyTimeAndHidden", Op::kCopy, true, {1}, true, kAttrHidden},
        RunCase{"CopyAllAttributes", Op::kCopy, false, {0, 1, 2, 3}, true, 39},
        RunCase{"MoveTimeAndSystemArchive", Op::kMove, true, {2, 3}, true, kAttrSystem | kAttrArchive},
        RunCase{"MoveAcrossFileSystems", Op::kMoveAcross, true, {0, 3}, true, 33}),
    [](const auto& info) { return std::string(info.param.label); });

// ------------------------------------------------ failures part-way

enum class Trouble { kExistingTarget, kDiskFull, kReadOnlyTarget };

struct FailCase {
    const char* label;
    Op op;
    Trouble trouble;
    int failingRow;  // 1-based
    std::u16string message;
};

void PrintTo(const FailCase& c, std::ostream* os) { *os << c.label; }

class DiskFailureTest : public testing::TestWithParam<FailCase> {};

TEST_P(DiskFailureTest, RowsBeforeDoneRowsAfterUntouchedNothingLost) {
    const FailCase& c = GetParam();
    DiskRig rig;
    ASSERT_TRUE(rig.scratch.ok());
    const std::string src = rig.scratch.Folder("src");
    std::string dst = src;
    if (c.trouble == Trouble::kExistingTarget && c.op != Op::kInPlace) dst = rig.scratch.Folder("dst");
    if (c.trouble == Trouble::kDiskFull) {
        if (!ScratchFolder::IsRoot()) GTEST_SKIP() << "a small tmpfs needs root";
        dst = rig.scratch.MountTmpfs("dst", 1u << 20);
        if (dst.empty()) GTEST_SKIP() << "tmpfs could not be mounted";
        if (!ScratchFolder::HoldsXattrs(dst)) GTEST_SKIP() << "this kernel's tmpfs holds no user attributes";
    }
    std::vector<std::string> names;
    for (int i = 1; i <= 5; ++i) names.push_back("a" + std::to_string(i) + ".txt");
    rig.Folders(src, dst);
    rig.Files(src, names);
    if (c.trouble == Trouble::kDiskFull)
        ScratchFolder::Write(src + "/a3.txt", ScratchFolder::Pattern(3u << 20));
    const std::string row3 = ScratchFolder::Read(src + "/a3.txt");
    // The check refuses a name that is taken beforehand: another program
    // takes it while the run is under way.
    if (c.trouble == Trouble::kExistingTarget) {
        rig.events.onEvents = [&, written = false]() mutable {
            if (written || ::access((dst + "/b1.txt").c_str(), F_OK) != 0) return;
            ScratchFolder::Write(dst + "/b3.txt", "keep me");
            written = true;
        };
    }
    if (c.trouble == Trouble::kReadOnlyTarget) {
        // Root passes permission checks; a read-only mount stops everyone.
        if (ScratchFolder::IsRoot()) {
            dst = rig.scratch.MountTmpfs("dst", 1u << 20);
            if (dst.empty() || !ScratchFolder::RemountReadOnly(dst)) GTEST_SKIP() << "no read-only mount";
        } else {
            dst = rig.scratch.Folder("dst");
            ::chmod(dst.c_str(), 0555);
        }
        rig.Folders(src, dst);
    }
    rig.Replace(u"a", u"b");
    rig.Operation(c.op == Op::kCopy);
    rig.settings.SetValue("Chk_Attrib", 1);
    rig.settings.SetValue("Chk_Att_Set(1)", 1);

    EXPECT_EQ(rig.engine.RealRun(), kStop);

    ASSERT_EQ(rig.messages.shown.size(), 2u);
    EXPECT_EQ(rig.messages.shown[1].prompt, c.message);
    EXPECT_EQ(rig.messages.shown[1].title, u"ファイルエラー");
    for (int i = 1; i <= 5; ++i) {
        const std::string from = src + "/a" + std::to_string(i) + ".txt";
        const std::string to = dst + "/b" + std::to_string(i) + ".txt";
        const std::string content = i == 3 ? row3 : DiskRig::Content(names[static_cast<std::size_t>(i - 1)]);
        if (i < c.failingRow) {
            EXPECT_TRUE(HoldsData(to, content)) << "row " << i << " was not done";
            EXPECT_EQ(Attributes(to), kAttrHidden) << "row " << i;
            EXPECT_EQ(::access(from.c_str(), F_OK) == 0, c.op == Op::kCopy) << "row " << i;
        } else {
            EXPECT_TRUE(HoldsData(from, content)) << "row " << i << " lost its source";
            EXPECT_EQ(Attributes(from), 0) << "row " << i << " was touched";
            if (i == 3 && c.trouble == Trouble::kExistingTarget) {
                EXPECT_TRUE(HoldsData(to, "keep me")) << "an existing file was overwritten";
            } else {
                EXPECT_NE(::access(to.c_str(), F_OK), 0) << "row " << i << " left something at " << to;
            }
        }
    }
    // No hidden temporary or partial copy anywhere.
    for (const auto& name : ScratchFolder::Names(dst)) EXPECT_NE(name[0], '.') << name;
    EXPECT_EQ(rig.view.disables, 0);
    EXPECT_EQ(rig.view.fileListRefreshes, 0);
    EXPECT_FALSE(rig.progress.IsOpen());
}

const std::u16string kExists = u"同名のファイル名がすでに存在します。";
const std::u16string kFull = u"ディスクの容量不足です。";
const std::u16string kDenied = u"書き込みができません。";

INSTANTIATE_TEST_SUITE_P(
    Failures, DiskFailureTest,
    testing::Values(FailCase{"InPlaceOntoExisting", Op::kInPlace, Trouble::kExistingTarget, 3, kExists},
                    FailCase{"CopyOntoExisting", Op::kCopy, Trouble::kExistingTarget, 3, kExists},
                    FailCase{"CopyDiskFull", Op::kCopy, Trouble::kDiskFull, 3, kFull},
                    FailCase{"MoveDiskFull", Op::kMove, Trouble::kDiskFull, 3, kFull},
                    FailCase{"MoveIntoReadOnly", Op::kMove, Trouble::kReadOnlyTarget, 1, kDenied}),
    [](const auto& info) { return std::string(info.param.label); });

// ------------------------------------------------ a USB stick's file system

struct StickCase {
    const char* label;
    int mode;  // 1 append, 2 replace
    std::u16string first, second;
    std::u16string message;       // after the question; empty: the run goes through
    std::set<std::string> after;  // photo.txt and memo.txt were there before
};

void PrintTo(const StickCase& c, std::ostream* os) { *os << c.label; }

class StickTest : public testing::TestWithParam<StickCase> {};

TEST_P(StickTest, RefusedBeforeAnythingIsTouchedOrRenamed) {
    const StickCase& c = GetParam();
    if (!ScratchFolder::IsRoot()) GTEST_SKIP() << "mounting an image needs root";
    DiskRig rig;
    ASSERT_TRUE(rig.scratch.ok());
    const std::string stick = rig.scratch.MountExfat("stick", 8u << 20);
    if (stick.empty())
        GTEST_SKIP() << "no exFAT volume here (mkfs.exfat, exfat-fuse or a loop device missing)";
    rig.Folders(stick, stick);
    rig.Files(stick, {"photo.txt", "memo.txt"});
    rig.settings.SetValue(c.mode == 1 ? "Chk_syori(0)" : "Chk_syori(1)", 1);
    rig.settings.SetText("Txt_B_text", c.first);
    rig.settings.SetText("Txt_A_text", c.second);

    const StepFlag flag = rig.engine.RealRun();

    EXPECT_EQ(flag, c.message.empty() ? kGoOn : kStop);
    ASSERT_EQ(rig.messages.shown.size(), c.message.empty() ? 1u : 2u);
    if (!c.message.empty()) {
        EXPECT_EQ(rig.messages.shown[1].prompt, c.message);
    }
    EXPECT_EQ(ScratchFolder::Names(stick), c.after);
    for (const char* name : {"photo.txt", "memo.txt"}) {
        const std::string now = c.after.count(name) ? name : "PHOTO.txt";
        EXPECT_TRUE(HoldsData(stick + "/" + now, DiskRig::Content(name))) << now;
        EXPECT_EQ(MTime(stick + "/" + now), kOldTime) << now;
    }
}

const std::u16string kQuoteFirst = u"固定文字列（前半部）\r\nファイル名に使用できない文字が有ります。";
const std::u16string kQuoteSecond = u"固定文字列（後半部）\r\nファイル名に使用できない文字が有ります。";

INSTANTIATE_TEST_SUITE_P(
    Cases, StickTest,
    testing::Values(StickCase{"QuoteInFirst", 1, u"\"", u"", kQuoteFirst, {"memo.txt", "photo.txt"}},
                    StickCase{"QuoteInSecond", 1, u"x", u"\"x\"", kQuoteSecond, {"memo.txt", "photo.txt"}},
                    StickCase{"CaseOnlyRename", 2, u"photo", u"PHOTO", u"", {"PHOTO.txt", "memo.txt"}}),
    [](const auto& info) { return std::string(info.param.label); });

// ------------------------------------------------ names that are not UTF-8

struct ByteNameCase {
    const char* label;
    int mode;  // 0 numbering, 1 append, 2 replace
    std::u16string first, second;
    std::string oldName, newName;  // native bytes
};

void PrintTo(const ByteNameCase& c, std::ostream* os) { *os << c.label; }

class ByteNameTest : public testing::TestWithParam<ByteNameCase> {};

TEST_P(ByteNameTest, RenamedToExactlyTheseBytes) {
    const ByteNameCase& c = GetParam();
    DiskRig rig;
    ASSERT_TRUE(rig.scratch.ok());
    const std::string src = rig.scratch.Folder("src");
    rig.Folders(src, src);
    rig.Files(src, {c.oldName});
    if (c.mode == 1) rig.settings.SetValue("Chk_syori(0)", 1);
    if (c.mode == 2) rig.settings.SetValue("Chk_syori(1)", 1);
    rig.settings.SetText("Txt_B_text", c.first);
    rig.settings.SetText("Txt_A_text", c.second);
    rig.settings.SetText("Lbl_keta", u"3");

    ASSERT_EQ(rig.engine.RealRun(), kGoOn);

    EXPECT_EQ(ScratchFolder::Names(src), std::set<std::string>{c.newName});
    EXPECT_TRUE(ScratchFolder::Read(src + "/" + c.newName) == DiskRig::Content(c.oldName)) << "data changed";
}

INSTANTIATE_TEST_SUITE_P(
    Names, ByteNameTest,
    testing::Values(ByteNameCase{"NumberingDropsBadBytes", 0, u"IMG_", u"", "\xff\xfe.jpg", "IMG_001.jpg"},
                    ByteNameCase{"AppendKeepsBadBytes", 1, u"new_", u"", "x\xff.jpg", "new_x\xff.jpg"},
                    ByteNameCase{"ReplaceNextToBadBytes", 2, u"abc", u"z",
                                 "\xe3\x81"
                                 "abc.txt",
                                 "\xe3\x81"
                                 "z.txt"},
                    ByteNameCase{"ValidJapaneseToo", 2, u"写真", u"photo", "写真01.jpg", "photo01.jpg"}),
    [](const auto& info) { return std::string(info.param.label); });

// ------------------------------------------------ renumbering in place

std::string Sha256(const std::string& data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(data.data(), data.size(), digest, &size, EVP_sha256(), nullptr);
    return std::string(reinterpret_cast<const char*>(digest), size);
}

std::string Numbered(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%05d.dat", n);
    return buf;
}

// Ten thousand numbered files shifted up by one, back down, then listed in
// reverse (five thousand swaps through a temporary name): after each run
// every name holds exactly the data the job meant for it.
TEST(DiskRenumberTest, ShiftUpDownAndReverseKeepEveryFilesData) {
    constexpr int kCount = 10000;
    DiskRig rig;
    ASSERT_TRUE(rig.scratch.ok());
    const std::string src = rig.scratch.Folder("src");
    rig.Folders(src, src);
    rig.Numbering(u"");
    rig.settings.SetText("Lbl_keta", u"5");
    std::vector<std::string> hash(kCount + 1);  // by the number the file had first
    for (int i = 1; i <= kCount; ++i) {
        const std::string data = std::to_string(i) + ScratchFolder::Pattern(64 + i % 64, static_cast<unsigned>(i));
        ScratchFolder::Write(src + "/" + Numbered(i), data);
        hash[i] = Sha256(data);
    }
    std::vector<int> at(kCount + 1);  // at[n]: the first number of the file now named n
    for (int i = 1; i <= kCount; ++i) at[i] = i;

    struct Run {
        const char* label;
        int start;
        bool reverse;
    };
    for (const Run& run : {Run{"up", 2, false}, Run{"down", 1, false}, Run{"reverse", 1, true}}) {
        SCOPED_TRACE(run.label);
        std::vector<std::u16string> listed;
        std::vector<int> now = at;
        const int first = run.start == 1 && !run.reverse ? 2 : 1;
        for (int k = 0; k < kCount; ++k) {
            const int n = run.reverse ? kCount - k : first + k;
            listed.push_back(FromNative(Numbered(n)));
        }
        rig.settings.SelectAll(listed);
        rig.settings.SetText("Txt_Startnum", run.start == 2 ? u"2" : u"1");
        rig.messages.shown.clear();
        ASSERT_EQ(rig.engine.RealRun(), kGoOn);
        ASSERT_EQ(rig.messages.shown.size(), 1u);
        std::vector<int> next(kCount + 2);
        for (int k = 0; k < kCount; ++k) next[run.start + k] = now[run.reverse ? kCount - k : first + k];
        at = next;
        const std::set<std::string> names = ScratchFolder::Names(src);
        ASSERT_EQ(names.size(), static_cast<std::size_t>(kCount)) << "a temporary name was left behind";
        for (int k = 0; k < kCount; ++k) {
            const int n = run.start + k;
            ASSERT_EQ(Sha256(ScratchFolder::Read(src + "/" + Numbered(n))), hash[at[n]]) << Numbered(n);
        }
    }
    for (int n = 1; n <= kCount; ++n) EXPECT_EQ(at[n], kCount + 1 - n);
}

}  // namespace
}  // namespace zv::test
