// The registry helper: each operation and listing, its answer, and what it
// leaves in the registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "PlatformTraits.h"
#include "TempConfigHome.h"
#include "purge/clsRegOp.h"
#include "shared/Registry.h"

using zv::clsRegOp;
namespace reg = zv::reg;

namespace {

const std::u16string kJapanese124 = std::u16string(124, u'漢');  // 248 bytes in code page 932
const std::u16string kDone(clsRegOp::kDone), kInvalid(clsRegOp::kInvalidData), kNoKey(clsRegOp::kNoSuchKey);
constexpr std::int16_t kListKeys = -1, kListValues = -2;

void SetValues(const std::u16string& path,
               const std::vector<std::pair<std::u16string, std::u16string>>& values) {
    reg::HKey key = 0;
    reg::CreateKey(reg::kCurrentUser, path, reg::kKeyAllAccess, &key);
    for (const auto& [name, data] : values) reg::SetString(key, name, data);
    reg::CloseKey(key);
}

// HKCU\Software\ZvTest: values of every length that matters; sub keys A and
// Empty; Long with the sub keys B and A (made in that order), a name too long
// to list, and three values.
void Prepare() {
    SetValues(
        u"Software\\ZvTest",
        {{u"long", std::u16string(249, u'x')}, {u"jp", kJapanese124}, {u"jptoolong", kJapanese124 + u"漢"}});
    for (auto path : {u"A", u"Empty", u"Long\\B", u"Long\\A"})
        SetValues(u"Software\\ZvTest\\" + std::u16string(path), {});
    // 128 kanji: within the registry's 255 characters, but 256 bytes in the code page.
    SetValues(u"Software\\ZvTest\\Long\\" + std::u16string(128, u'長'), {});
    SetValues(u"Software\\ZvTest\\Long", {{u"x", u"1"}, {u"名前", u"2"}, {u"", u"default"}});
}

bool KeyExists(std::u16string_view path) {
    reg::ScopedKey key;
    return reg::OpenKey(reg::kCurrentUser, path, reg::kKeyRead, key.out()) == reg::kSuccess;
}

// The NUL-joined names, sorted when the registry does not keep the order
// values were written in.
std::vector<std::u16string> Names(const std::u16string& joined) {
    std::vector<std::u16string> names(1);
    for (char16_t ch : joined) ch ? void(names.back() += ch) : void(names.emplace_back());
    if (!zv::test::RegistryKeepsValueWritingOrder()) std::sort(names.begin(), names.end());
    return names;
}

struct OperationCase {
    const char* label;
    std::int16_t flag;  // an operation code, or one of the two listings
    std::u16string subKey, valueName, valueData;
    std::u16string answer;          // of a listing: the joined names
    std::u16string checkKey = u"";  // a key whose presence afterwards is checked
    bool keyThere = true;
    std::int16_t count = 0;  // of a listing
};

void PrintTo(const OperationCase& c, std::ostream* os) { *os << c.label; }

// clang-format off
const OperationCase kOperationCases[] = {
    {"ReadMissingKey", 0, u"Software\\Nope", u"long", u"", kNoKey},
    {"ReadFillsBufferExactly", 0, u"Software\\ZvTest", u"long", u"", std::u16string(249, u'x')},
    {"ReadJapaneseCountedInBytes", 0, u"Software\\ZvTest", u"jp", u"", kJapanese124},
    {"ReadJapaneseTooLongInBytes", 0, u"Software\\ZvTest", u"jptoolong", u"", u""},
    {"WriteJapaneseWhole", 1, u"Software\\ZvTest", u"名前", u"「Zorvik」のフォルダ＼写真", kDone},
    {"WriteInMissingKey", 1, u"Software\\Nope", u"v", u"x", kNoKey, u"Software\\Nope", false},
    {"CreateWithEmptySubKey", 2, u"", u"", u"", kInvalid},
    {"CreateNested", 2, u"Software\\ZvTest\\New\\Deeper", u"", u"", kDone, u"Software\\ZvTest\\New\\Deeper"},
    {"DeleteEmptyKey", 3, u"Software\\ZvTest\\Empty", u"", u"", kDone, u"Software\\ZvTest\\Empty", false},
    {"UnknownCodeRefused", 4, u"Software\\ZvTest\\Empty", u"", u"", kInvalid},
    {"SortedNameLongerThanBufferEndsListing", kListKeys, u"Software\\ZvTest\\Long", u"", u"",
     std::u16string(u"A\0B", 3), u"", true, 2},
    {"ThreeValues", kListValues, u"Software\\ZvTest\\Long", u"", u"", std::u16string(u"x\0名前\0", 5), u"",
     true, 3},
};
// clang-format on

class RegistOperation : public testing::TestWithParam<OperationCase> {};

TEST_P(RegistOperation, AnswersAndLeavesTheRegistry) {
    zv::test::TempConfigHome home;
    Prepare();
    const std::string before = home.Read("HKEY_CURRENT_USER");
    const auto& c = GetParam();
    clsRegOp op;
    op.RootKey = 0x80000001u;  // HKEY_CURRENT_USER
    // An earlier listing must not leak into this one.
    op.SubKey = u"Software\\ZvTest";
    op.EnumRegKeyName();
    op.SubKey = c.subKey;
    op.ValueName = c.valueName;
    op.ValueData = c.valueData;
    op.Flag = c.flag;
    if (c.flag == kListKeys) {
        EXPECT_EQ(op.EnumRegKeyName(), c.count);
        EXPECT_EQ(op.EnumKeyName(), c.answer);
    } else if (c.flag == kListValues) {
        EXPECT_EQ(op.EnumRegValueName(), c.count);
        EXPECT_EQ(Names(op.EnumValueName()), Names(c.answer));
    } else {
        EXPECT_EQ(op.RegistOperation(), c.answer);
    }
    EXPECT_EQ(c.checkKey.empty() || KeyExists(c.checkKey), c.checkKey.empty() || c.keyThere);
    if (c.flag == clsRegOp::kWrite && c.answer == kDone) {
        // What was written reads back whole.
        op.Flag = clsRegOp::kRead;
        EXPECT_EQ(op.RegistOperation(), c.valueData);
    } else if (c.flag == clsRegOp::kRead || c.answer != kDone) {
        // Reads, listings and refused operations change nothing.
        EXPECT_EQ(home.Read("HKEY_CURRENT_USER"), before);
    }
}

INSTANTIATE_TEST_SUITE_P(ClsRegOp, RegistOperation, testing::ValuesIn(kOperationCases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
