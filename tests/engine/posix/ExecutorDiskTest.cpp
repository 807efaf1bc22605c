// The real run on real folders: rename in place, copy and move with time
// stamp and attributes, names that are not valid UTF-8, failures part-way
// that keep every file, and renumbering thousands of files in place.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <set>
#include <string>

#include "DiskRig.h"

namespace zv::test {
namespace {

enum class Where { kSame, kFolder, kTmpfs, kExfat };

// Mounts what the case needs; empty with the reason set when it cannot.
std::string Mount(DiskRig& rig, Where where, std::size_t bytes, std::string& skip) {
    if (!ScratchFolder::IsRoot()) return skip = "mounting needs root", "";
    const std::string dst =
        where == Where::kExfat ? rig.scratch.MountExfat("dst", bytes) : rig.scratch.MountTmpfs("dst", bytes);
    if (dst.empty()) return skip = "the file system could not be mounted here (exfat-fuse, loop device)", "";
    if (where == Where::kTmpfs && !ScratchFolder::HoldsXattrs(dst))
        return skip = "this kernel's tmpfs holds no user attributes", "";
    return dst;
}

struct RunCase {
    const char* label;
    Where where;
    Controls controls;
    std::vector<std::string> from, to;  // native names before and after, in list order
    int attributes = 0;                 // of the new files; -1: not looked at
    bool time = false;                  // stamped
};
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.label; }

class DiskRunTest : public testing::TestWithParam<RunCase> {};

TEST_P(DiskRunTest, EveryFileArrivesWithItsDataTimeAndAttributes) {
    const RunCase& c = GetParam();
    DiskRig rig;
    ASSERT_TRUE(rig.scratch.ok());
    std::string src = rig.scratch.Folder("src"), dst = src, skip;
    if (c.where == Where::kFolder) dst = rig.scratch.Folder("dst");
    if (c.where == Where::kTmpfs || c.where == Where::kExfat) dst = Mount(rig, c.where, 8u << 20, skip);
    if (!skip.empty()) GTEST_SKIP() << skip;
    if (c.where == Where::kExfat) src = dst;
    rig.Job(src, dst, c.controls);
    rig.Files(src, c.from);
    const bool copy = rig.ui.Value("Opt_Cpymov(0)") != 0 && src != dst;

    ASSERT_EQ(rig.engine.RealRun(), kGoOn);

    ASSERT_EQ(rig.ui.shown.size(), 1u) << ToUtf8(rig.ui.shown.back().prompt);
    EXPECT_EQ(ScratchFolder::Names(dst), std::set<std::string>(c.to.begin(), c.to.end()));
    for (std::size_t i = 0; i < c.to.size(); ++i) {
        const std::string to = dst + "/" + c.to[i];
        EXPECT_TRUE(HoldsData(to, DiskRig::Content(c.from[i])));
        EXPECT_EQ(LocalTime(to), c.time ? kStamp : kOld) << to;
        EXPECT_EQ(c.attributes < 0 ? -1 : Attributes(to), c.attributes) << to;
    }
    if (src != dst) {
        // Copied: the sources keep their names, data, time and attributes.
        EXPECT_EQ(ScratchFolder::Names(src).size(), copy ? c.from.size() : 0u);
        for (const auto& n : copy ? c.from : std::vector<std::string>{}) {
            EXPECT_TRUE(HoldsData(src + "/" + n, DiskRig::Content(n)));
            EXPECT_EQ(LocalTime(src + "/" + n), kOld);
            EXPECT_EQ(Attributes(src + "/" + n), 0);
        }
    }
    EXPECT_EQ(rig.ui.disables, 1);
    EXPECT_EQ(rig.ui.listRefreshes, 1);
    EXPECT_FALSE(rig.ui.open);
}

const std::vector<std::string> kThree{"c.jpg", "a.jpg", "b.jpg"}, kImg{"IMG_001.jpg", "IMG_002.jpg", "IMG_003.jpg"};
const std::u16string k1 = u"1";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Runs, DiskRunTest, testing::Values(
    RunCase{"InPlace", Where::kSame, {{"Txt_B_text", u"IMG_"}, {"Lbl_keta", u"3"}}, kThree, kImg},
    RunCase{"CopyTimeAndHidden", Where::kFolder, {{"Txt_B_text", u"IMG_"}, {"Lbl_keta", u"3"}, {"Chk_DateLock", k1},
            {"Chk_Attrib", k1}, {"Chk_Att_Set(1)", k1}}, kThree, kImg, kAttrHidden, true},
    RunCase{"CopyAllAttributes", Where::kFolder, {{"Txt_B_text", u"IMG_"}, {"Lbl_keta", u"3"}, {"Chk_Attrib", k1},
            {"Chk_Att_Set(0)", k1}, {"Chk_Att_Set(1)", k1}, {"Chk_Att_Set(2)", k1}, {"Chk_Att_Set(3)", k1}}, kThree, kImg, 39},
    RunCase{"MoveTimeAndSystemArchive", Where::kFolder, {{"Txt_B_text", u"IMG_"}, {"Lbl_keta", u"3"}, {"Opt_Cpymov(0)", u"0"},
            {"Chk_DateLock", k1}, {"Chk_Attrib", k1}, {"Chk_Att_Set(2)", k1}, {"Chk_Att_Set(3)", k1}}, kThree, kImg,
            kAttrSystem | kAttrArchive, true},
    RunCase{"MoveAcrossFileSystems", Where::kTmpfs, {{"Txt_B_text", u"IMG_"}, {"Lbl_keta", u"3"}, {"Opt_Cpymov(0)", u"0"},
            {"Chk_DateLock", k1}, {"Chk_Attrib", k1}, {"Chk_Att_Set(0)", k1}, {"Chk_Att_Set(3)", k1}}, kThree, kImg, 33, true},
    RunCase{"NumberingDropsBadBytes", Where::kSame, {{"Txt_B_text", u"IMG_"}, {"Lbl_keta", u"3"}}, {"\xff\xfe.jpg"}, {"IMG_001.jpg"}},
    RunCase{"AppendKeepsBadBytes", Where::kSame, {{"Chk_syori(0)", k1}, {"Txt_B_text", u"new_"}}, {"x\xff.jpg"}, {"new_x\xff.jpg"}},
    RunCase{"ReplaceNextToBadBytes", Where::kSame, {{"Chk_syori(1)", k1}, {"Txt_B_text", u"abc"}, {"Txt_A_text", u"z"}},
            {"\xe3\x81" "abc.txt"}, {"\xe3\x81" "z.txt"}},
    RunCase{"ValidJapaneseToo", Where::kSame, {{"Chk_syori(1)", k1}, {"Txt_B_text", u"写真"}, {"Txt_A_text", u"photo"}},
            {"写真01.jpg"}, {"photo01.jpg"}},
    // A USB stick's file system ignores case: a change of case only renames.
    RunCase{"ExfatCaseOnly", Where::kExfat, {{"Chk_syori(1)", k1}, {"Txt_B_text", u"photo"}, {"Txt_A_text", u"PHOTO"}},
            {"photo.txt", "memo.txt"}, {"PHOTO.txt", "memo.txt"}, -1}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

// ------------------------------------------------ failures part-way

enum class Trouble { kExistingTarget, kDiskFull, kReadOnlyTarget };

struct FailCase {
    const char* label;
    bool copy;
    Where where;
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
    std::string src = rig.scratch.Folder("src"), dst = src, skip;
    if (c.where == Where::kFolder) dst = rig.scratch.Folder("dst");
    if (c.where == Where::kTmpfs) dst = Mount(rig, c.where, 1u << 20, skip);
    // Root passes permission checks; a read-only mount stops everyone.
    if (c.trouble == Trouble::kReadOnlyTarget && !ScratchFolder::IsRoot()) {
        dst = rig.scratch.Folder("dst");
        ::chmod(dst.c_str(), 0555);
        skip.clear();
    } else if (c.trouble == Trouble::kReadOnlyTarget && skip.empty() && !ScratchFolder::RemountReadOnly(dst)) {
        skip = "no read-only mount";
    }
    if (!skip.empty()) GTEST_SKIP() << skip;
    std::vector<std::string> names;
    for (int i = 1; i <= 5; ++i) names.push_back("a" + std::to_string(i) + ".txt");
    rig.Job(src, dst, {{"Chk_syori(1)", u"1"}, {"Txt_B_text", u"a"}, {"Txt_A_text", u"b"}, {"Chk_Attrib", u"1"},
                       {"Chk_Att_Set(1)", u"1"}, {"Opt_Cpymov(0)", c.copy ? u"-1" : u"0"}});
    rig.Files(src, names);
    if (c.trouble == Trouble::kDiskFull) ScratchFolder::Write(src + "/a3.txt", ScratchFolder::Pattern(3u << 20));
    const std::string row3 = ScratchFolder::Read(src + "/a3.txt");
    // The check refuses a name taken beforehand: another program takes it
    // while the run is under way.
    if (c.trouble == Trouble::kExistingTarget) {
        rig.ui.onEvents = [&, written = false]() mutable {
            if (written || ::access((dst + "/b1.txt").c_str(), F_OK) != 0) return;
            ScratchFolder::Write(dst + "/b3.txt", "keep me");
            written = true;
        };
    }

    EXPECT_EQ(rig.engine.RealRun(), kStop);

    ASSERT_EQ(rig.ui.shown.size(), 2u);
    EXPECT_EQ(rig.ui.shown[1], (Box{u"ファイルエラー", c.message}));
    for (int i = 1; i <= 5; ++i) {
        SCOPED_TRACE(i);
        const std::string from = src + "/" + names[i - 1], to = dst + "/b" + std::to_string(i) + ".txt";
        const std::string content = i == 3 ? row3 : DiskRig::Content(names[i - 1]);
        if (i < c.failingRow) {
            EXPECT_TRUE(HoldsData(to, content)) << "not done";
            EXPECT_EQ(Attributes(to), kAttrHidden);
            EXPECT_EQ(::access(from.c_str(), F_OK) == 0, c.copy);
        } else {
            EXPECT_TRUE(HoldsData(from, content)) << "lost its source";
            EXPECT_EQ(Attributes(from), 0) << "touched";
            if (i == 3 && c.trouble == Trouble::kExistingTarget)
                EXPECT_TRUE(HoldsData(to, "keep me")) << "an existing file was overwritten";
            else
                EXPECT_NE(::access(to.c_str(), F_OK), 0) << "left something at " << to;
        }
    }
    // No hidden temporary or partial copy anywhere.
    for (const auto& name : ScratchFolder::Names(dst)) EXPECT_NE(name[0], '.') << name;
    EXPECT_EQ(rig.ui.disables + rig.ui.listRefreshes, 0);
    EXPECT_FALSE(rig.ui.open);
}

const std::u16string kExists = u"同名のファイル名がすでに存在します。", kFull = u"ディスクの容量不足です。";

INSTANTIATE_TEST_SUITE_P(
    Failures, DiskFailureTest,
    testing::Values(FailCase{"InPlaceOntoExisting", false, Where::kSame, Trouble::kExistingTarget, 3, kExists},
                    FailCase{"CopyOntoExisting", true, Where::kFolder, Trouble::kExistingTarget, 3, kExists},
                    FailCase{"CopyDiskFull", true, Where::kTmpfs, Trouble::kDiskFull, 3, kFull},
                    FailCase{"MoveDiskFull", false, Where::kTmpfs, Trouble::kDiskFull, 3, kFull},
                    FailCase{"MoveIntoReadOnly", false, Where::kTmpfs, Trouble::kReadOnlyTarget, 1,
                             u"書き込みができません。"}),
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
    rig.Job(src, src, {{"Lbl_keta", u"5"}});
    std::vector<std::string> hash(kCount + 2);  // by the number the file had first
    std::vector<int> at(kCount + 2);            // at[n]: the first number of the file now named n
    for (int i = 1; i <= kCount; ++i) {
        const std::string data = std::to_string(i) + ScratchFolder::Pattern(64 + i % 64, static_cast<unsigned>(i));
        ScratchFolder::Write(src + "/" + Numbered(i), data);
        hash[i] = Sha256(data);
        at[i] = i;
    }
    // List of the current numbers in the order the run takes them, and its start.
    for (const auto& [label, first, start, reverse] :
         {std::tuple{"up", 1, 2, false}, std::tuple{"down", 2, 1, false}, std::tuple{"reverse", 1, 1, true}}) {
        SCOPED_TRACE(label);
        std::vector<std::u16string> listed;
        std::vector<int> next(kCount + 2);
        for (int k = 0; k < kCount; ++k) {
            const int n = reverse ? kCount - k : first + k;
            listed.push_back(FromNative(Numbered(n)));
            next[start + k] = at[n];
        }
        rig.ui.SelectAll(listed);
        rig.ui.Set("Txt_Startnum", std::u16string(1, char16_t(u'0' + start)));
        rig.ui.shown.clear();
        ASSERT_EQ(rig.engine.RealRun(), kGoOn);
        ASSERT_EQ(rig.ui.shown.size(), 1u);
        at = next;
        ASSERT_EQ(ScratchFolder::Names(src).size(), static_cast<std::size_t>(kCount)) << "a temporary name left";
        for (int n = start; n < start + kCount; ++n)
            ASSERT_EQ(Sha256(ScratchFolder::Read(src + "/" + Numbered(n))), hash[at[n]]) << Numbered(n);
    }
    for (int n = 1; n <= kCount; ++n) EXPECT_EQ(at[n], kCount + 1 - n);
}

}  // namespace
}  // namespace zv::test
