#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "PlatformTraits.h"
#include "TempConfigHome.h"
#include "purge/clsRegOp.h"
#include "shared/Registry.h"

using zv::clsRegOp;
using zv::test::TempConfigHome;
namespace reg = zv::reg;

namespace {

constexpr std::uint32_t kHkcu = 0x80000001u;
const std::u16string kJapanese124 = std::u16string(124, u'漢');  // 248 bytes in code page 932

// HKCU\Software\ZvTest with the value abc, sub keys A (holding Deep) and B,
// and the empty key Empty.
void Prepare() {
    reg::HKey key = 0;
    reg::CreateKey(reg::kCurrentUser, u"Software\\ZvTest", reg::kKeyAllAccess, &key);
    reg::SetString(key, u"abc", u"abc");
    reg::SetString(key, u"long", std::u16string(249, u'x'));
    reg::SetString(key, u"toolong", std::u16string(250, u'x'));
    reg::SetString(key, u"jp", kJapanese124);
    reg::SetString(key, u"jptoolong", kJapanese124 + u"漢");
    reg::CloseKey(key);
    for (auto path : {u"Software\\ZvTest\\A\\Deep", u"Software\\ZvTest\\B", u"Software\\ZvTest\\Empty"}) {
        reg::CreateKey(reg::kCurrentUser, path, reg::kKeyAllAccess, &key);
        reg::CloseKey(key);
    }
}

bool KeyExists(std::u16string_view path) {
    reg::ScopedKey key;
    return reg::OpenKey(reg::kCurrentUser, path, reg::kKeyRead, key.out()) == reg::kSuccess;
}

struct OperationCase {
    const char* label;
    std::int16_t flag;
    std::u16string subKey;
    std::u16string valueName;
    std::u16string valueData;
    std::u16string answer;
    // A key whose presence afterwards is checked (empty: none), and whether it must be there.
    std::u16string checkKey = u"";
    bool keyThere = true;
    std::uint32_t root = kHkcu;
};

void PrintTo(const OperationCase& c, std::ostream* os) { *os << c.label; }

const std::u16string kDone(clsRegOp::kDone);
const std::u16string kInvalid(clsRegOp::kInvalidData);
const std::u16string kNoKey(clsRegOp::kNoSuchKey);
const std::u16string kFailed(clsRegOp::kFailed);

const OperationCase kOperationCases[] = {
    {"ReadText", 0, u"Software\\ZvTest", u"abc", u"", u"abc"},
    {"ReadMissingValue", 0, u"Software\\ZvTest", u"nope", u"", u""},
    {"ReadMissingKey", 0, u"Software\\Nope", u"abc", u"", kNoKey},
    {"ReadFillsBufferExactly", 0, u"Software\\ZvTest", u"long", u"", std::u16string(249, u'x')},
    {"ReadTooLongForBuffer", 0, u"Software\\ZvTest", u"toolong", u"", u""},
    {"ReadJapaneseCountedInBytes", 0, u"Software\\ZvTest", u"jp", u"", kJapanese124},
    {"ReadJapaneseTooLongInBytes", 0, u"Software\\ZvTest", u"jptoolong", u"", u""},
    {"WriteJapaneseWhole", 1, u"Software\\ZvTest", u"名前", u"「Zorvik」のフォルダ＼写真", kDone},
    {"WriteInMissingKey", 1, u"Software\\Nope", u"v", u"x", kNoKey, u"Software\\Nope", false},
    {"CreateWithEmptySubKey", 2, u"", u"", u"", kInvalid},
    {"CreateNested", 2, u"Software\\ZvTest\\New\\Deeper", u"", u"", kDone, u"Software\\ZvTest\\New\\Deeper"},
    {"DeleteEmptyKey", 3, u"Software\\ZvTest\\Empty", u"", u"", kDone, u"Software\\ZvTest\\Empty", false},
    {"DeleteKeyWithSubKey", 3, u"Software\\ZvTest\\A", u"", u"", kFailed, u"Software\\ZvTest\\A\\Deep"},
    {"DeleteRoot", 3, u"", u"", u"", kFailed, u"Software\\ZvTest"},
    {"UnknownCodeRefused", 4, u"Software\\ZvTest\\Empty", u"", u"", kInvalid},
};

class RegistOperation : public testing::TestWithParam<OperationCase> {};

TEST_P(RegistOperation, AnswersAndLeavesTheRegistry) {
    TempConfigHome home;
    Prepare();
    const std::string before = home.Read("HKEY_CURRENT_USER");
    const auto& c = GetParam();
    clsRegOp op;
    op.RootKey = c.root;
    op.SubKey = c.subKey;
    op.ValueName = c.valueName;
    op.ValueData = c.valueData;
    op.Flag = c.flag;
    EXPECT_EQ(op.RegistOperation(), c.answer);
    if (!c.checkKey.empty()) {
        EXPECT_EQ(KeyExists(c.checkKey), c.keyThere);
    }
    if (c.flag == 1 && c.answer == kDone) {
        // What was written reads back whole.
        const std::u16string written = c.valueData;
        op.Flag = clsRegOp::kRead;
        EXPECT_EQ(op.RegistOperation(), written);
    }
    // Reads and refused operations change nothing on disk.
    if (c.flag == 0 || c.answer == kInvalid || c.answer == kNoKey || c.answer == kFailed) {
        EXPECT_EQ(home.Read("HKEY_CURRENT_USER"), before);
    }
}

INSTANTIATE_TEST_SUITE_P(ClsRegOp, RegistOperation, testing::ValuesIn(kOperationCases),
                         [](const auto& info) { return std::string(info.param.label); });

// Enumerations: the count and the NUL-joined names.
struct EnumCase {
    const char* label;
    std::u16string subKey;
    bool values;
    std::int16_t count;
    std::u16string joined;
};

void PrintTo(const EnumCase& c, std::ostream* os) { *os << c.label; }

const EnumCase kEnumCases[] = {
    {"TwoSubKeys", u"Software\\ZvTest\\Two", false, 2, std::u16string(u"A\0B", 3)},
    {"NoSubKeys", u"Software\\ZvTest\\Empty", false, 0, u""},
    {"MissingKey", u"Software\\ZvTest\\Nope", false, 0, u""},
    {"NameLongerThanBufferEndsListing", u"Software\\ZvTest\\Long", false, 2, std::u16string(u"A\0B", 3)},
    {"ThreeValues", u"Software\\ZvTest\\Two", true, 3, std::u16string(u"x\0名前\0", 5)},
    {"ValuesOfMissingKey", u"Software\\ZvTest\\Nope", true, 0, u""},
};

class Enumeration : public testing::TestWithParam<EnumCase> {};

// The NUL-joined names, sorted when the registry does not keep the order
// values were written in.
std::vector<std::u16string> ValueNames(const std::u16string& joined, std::int16_t count) {
    std::vector<std::u16string> names;
    std::size_t start = 0;
    for (std::int16_t i = 0; i < count; ++i) {
        const std::size_t end = std::min(joined.find(u'\0', start), joined.size());
        names.push_back(joined.substr(start, end - start));
        start = end + 1;
    }
    if (!zv::test::RegistryKeepsValueWritingOrder()) std::sort(names.begin(), names.end());
    return names;
}

TEST_P(Enumeration, CountsAndJoinsNames) {
    TempConfigHome home;
    reg::HKey key = 0;
    for (auto path :
         {u"Software\\ZvTest\\Two\\B", u"Software\\ZvTest\\Two\\A", u"Software\\ZvTest\\One\\Only",
          u"Software\\ZvTest\\Empty", u"Software\\ZvTest\\Long\\A", u"Software\\ZvTest\\Long\\B"}) {
        reg::CreateKey(reg::kCurrentUser, path, reg::kKeyAllAccess, &key);
        reg::CloseKey(key);
    }
    // 128 kanji: within the registry's 255 characters, but 256 bytes in the code page.
    reg::CreateKey(reg::kCurrentUser, u"Software\\ZvTest\\Long\\" + std::u16string(128, u'長'),
                   reg::kKeyAllAccess, &key);
    reg::CloseKey(key);
    reg::CreateKey(reg::kCurrentUser, u"Software\\ZvTest\\Two", reg::kKeyAllAccess, &key);
    reg::SetString(key, u"x", u"1");
    reg::SetString(key, u"名前", u"2");
    reg::SetString(key, u"", u"default");
    reg::CloseKey(key);

    const auto& c = GetParam();
    clsRegOp op;
    op.RootKey = kHkcu;
    // An earlier listing must not leak into this one.
    op.SubKey = u"Software\\ZvTest";
    op.EnumRegKeyName();
    op.SubKey = c.subKey;
    if (c.values) {
        EXPECT_EQ(op.EnumRegValueName(), c.count);
        if (zv::test::RegistryKeepsValueWritingOrder())
            EXPECT_EQ(op.EnumValueName(), c.joined);
        else
            EXPECT_EQ(ValueNames(op.EnumValueName(), c.count), ValueNames(c.joined, c.count));
        EXPECT_EQ(op.EnumValueName().size(), c.joined.size());
    } else {
        EXPECT_EQ(op.EnumRegKeyName(), c.count);
        EXPECT_EQ(op.EnumKeyName(), c.joined);
    }
    EXPECT_EQ(op.KeyCount(), c.count);
}

INSTANTIATE_TEST_SUITE_P(ClsRegOp, Enumeration, testing::ValuesIn(kEnumCases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
