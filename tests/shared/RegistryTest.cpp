#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "PlatformTraits.h"
#include "TempConfigHome.h"
#include "shared/Registry.h"

using namespace zv::reg;
using zv::test::TempConfigHome;

namespace {

constexpr std::u16string_view kBase = u"Software\\Test";

// A registry with HKCU\Software\Test\{Child, Leaf} and a value in Child.
struct Prepared {
    TempConfigHome home;
    Prepared() {
        HKey key = 0;
        CreateKey(kCurrentUser, u"Software\\Test\\Child", kKeyAllAccess, &key);
        SetString(key, u"Name", u"value");
        CloseKey(key);
        CreateKey(kCurrentUser, u"Software\\Test\\Leaf", kKeyAllAccess, &key);
        CloseKey(key);
    }
};

std::u16string Read(HKey root, std::u16string_view path, std::u16string_view name, long* rc = nullptr) {
    ScopedKey key;
    std::u16string text;
    long r = OpenKey(root, path, kKeyQueryValue, key.out());
    if (r == kSuccess) r = QueryString(key.get(), name, &text);
    if (rc) *rc = r;
    return text;
}

long Write(HKey root, std::u16string_view path, std::u16string_view name, std::u16string_view text) {
    ScopedKey key;
    long r = CreateKey(root, path, kKeySetValue, key.out());
    return r == kSuccess ? SetString(key.get(), name, text) : r;
}

std::vector<std::u16string> SubKeys(HKey root, std::u16string_view path) {
    ScopedKey key;
    std::vector<std::u16string> names;
    if (OpenKey(root, path, kKeyEnumerateSubKeys, key.out()) != kSuccess) return names;
    std::u16string name;
    for (std::uint32_t i = 0; EnumKey(key.get(), i, &name) == kSuccess; ++i) names.push_back(name);
    return names;
}

// ---------------------------------------------------------------------------
// Error numbers: each case opens path with the given rights (unless it
// deletes or creates from the root) and makes one call.

enum class Call { Open, Delete, Create, Query, Set, EnumKeys, EnumValues, CreateBelow };

struct ErrorCase {
    const char* label;
    Call call;
    std::u16string path;
    std::uint32_t access;
    long expected;
    std::u16string name = u"Name";
    std::uint32_t index = 0;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.label; }

long MakeCall(const ErrorCase& c) {
    HKey created = 0;
    if (c.call == Call::Delete) return DeleteKey(kCurrentUser, c.path);
    if (c.call == Call::Create) return CreateKey(kCurrentUser, c.path, c.access, &created);
    ScopedKey key;
    long rc = OpenKey(kCurrentUser, c.path, c.access, key.out());
    if (rc != kSuccess || c.call == Call::Open) return rc;
    switch (c.call) {
        case Call::Query:
            return QueryString(key.get(), c.name, nullptr);
        case Call::Set:
            return SetString(key.get(), c.name, u"x");
        case Call::EnumKeys:
            return EnumKey(key.get(), c.index, nullptr);
        case Call::EnumValues:
            return EnumValue(key.get(), c.index, nullptr);
        default:
            rc = CreateKey(key.get(), c.name, kKeyAllAccess, &created);
            CloseKey(created);
            return rc;
    }
}

const std::u16string kChild = u"Software\\Test\\Child";
const std::u16string kLeaf = u"Software\\Test\\Leaf";

const ErrorCase kErrorCases[] = {
    {"OpenMissingKey", Call::Open, u"Software\\Test\\Nope", kKeyRead, kFileNotFound},
    {"DeleteKeyWithSubKeys", Call::Delete, std::u16string(kBase), 0, kAccessDenied},
    {"DeleteEmptyKey", Call::Delete, kLeaf, 0, kSuccess},
    {"DeleteKeyHoldingOnlyValues", Call::Delete, u"software\\test\\CHILD", 0, kSuccess},
    {"DeleteMissingKey", Call::Delete, u"Software\\Test\\Nope", 0, kFileNotFound},
    {"DeletePredefinedRoot", Call::Delete, u"", 0, kAccessDenied},
    {"QueryMissingValue", Call::Query, kChild, kKeyQueryValue, kFileNotFound, u"Other"},
    {"QueryWithoutQueryRight", Call::Query, kChild, kKeySetValue, kAccessDenied},
    {"SetWithoutSetRight", Call::Set, kChild, kKeyQueryValue, kAccessDenied},
    {"EnumWithoutEnumerateRight", Call::EnumKeys, std::u16string(kBase), kKeyQueryValue, kAccessDenied},
    {"EnumKeyPastEnd", Call::EnumKeys, std::u16string(kBase), kKeyRead, kNoMoreItems, u"", 2},
    {"EmptyPathPart", Call::Open, u"Software\\\\Test", kKeyRead, kBadPathname},
    {"KeyNameTooLong", Call::Create, u"Software\\" + std::u16string(256, u'x'), kKeyAllAccess,
     kInvalidParameter},
    {"CreateBelowWithoutCreateRight", Call::CreateBelow, std::u16string(kBase), kKeyRead, kAccessDenied,
     u"New"},
    {"CreateBelowWithCreateRight", Call::CreateBelow, std::u16string(kBase), kKeyCreateSubKey, kSuccess,
     u"New"},
};

class RegistryErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(RegistryErrors, AnswersWin32Number) {
    if (GetParam().call == Call::CreateBelow && GetParam().expected == kAccessDenied &&
        !zv::test::RegistryChecksCreateSubKeyRight())
        GTEST_SKIP() << "this registry does not check the create right of the parent handle";
    Prepared registry;
    EXPECT_EQ(MakeCall(GetParam()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Registry, RegistryErrors, testing::ValuesIn(kErrorCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Registry, HandlesOfClosedOrDeletedKeysAreRefused) {
    Prepared registry;
    HKey closed = 0;
    ASSERT_EQ(OpenKey(kCurrentUser, kBase, kKeyRead, &closed), kSuccess);
    CloseKey(closed);
    EXPECT_EQ(EnumKey(closed, 0, nullptr), kInvalidHandle);
    ScopedKey leaf;
    ASSERT_EQ(OpenKey(kCurrentUser, kLeaf, kKeyAllAccess, leaf.out()), kSuccess);
    ASSERT_EQ(DeleteKey(kCurrentUser, kLeaf), kSuccess);
    EXPECT_EQ(SetString(leaf.get(), u"X", u"y"), kKeyDeleted);
}

// ---------------------------------------------------------------------------
// Texts and names that need escaping or are not ASCII survive the file.

struct TextCase {
    const char* label;
    std::u16string name;
    std::u16string text;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.label; }

const TextCase kTextCases[] = {
    {"BackslashesAndQuotes", u"DRIVE", u"C:\\Photos\\\"best\" of\\"},
    {"Japanese", u"フォルダ", u"Ｃ：\\写真\\２０２４年　旅行"},
    {"OutsideBmp", u"emoji", u"\U0001F600 x \U00020B9F"},
    {"Empty", u"Empty", u""},
    {"DefaultValue", u"", u"default"},
    {"LineBreaks", u"multi", u"one\r\ntwo\nthree\t."},
    {"LooksLikeSyntax", u"\"=@[x]", u"\"]=hex:00,\\"},
    {"LoneSurrogate", u"odd", std::u16string(u"a") + char16_t(0xDC81) + u"b"},
};

class RegistryTexts : public testing::TestWithParam<TextCase> {};

TEST_P(RegistryTexts, RoundTripThroughTheFile) {
    TempConfigHome home;
    const auto& c = GetParam();
    ASSERT_EQ(Write(kCurrentUser, u"Software\\Texts", c.name, c.text), kSuccess);
    // A second value after it proves the first did not swallow the rest of the file.
    ASSERT_EQ(Write(kCurrentUser, u"Software\\Texts", u"After", u"tail"), kSuccess);
    long rc = -1;
    EXPECT_EQ(Read(kCurrentUser, u"Software\\Texts", c.name, &rc), c.text);
    EXPECT_EQ(rc, kSuccess);
    EXPECT_EQ(Read(kCurrentUser, u"Software\\Texts", u"After"), u"tail");

    ScopedKey key;
    ASSERT_EQ(OpenKey(kCurrentUser, u"Software\\Texts", kKeyQueryValue, key.out()), kSuccess);
    std::vector<std::u16string> names;
    std::u16string name;
    for (std::uint32_t i = 0; EnumValue(key.get(), i, &name) == kSuccess; ++i) names.push_back(name);
    std::vector<std::u16string> expected{c.name, u"After"};
    if (!zv::test::RegistryKeepsValueWritingOrder()) {
        std::sort(names.begin(), names.end());
        std::sort(expected.begin(), expected.end());
    }
    EXPECT_EQ(names, expected);
}

INSTANTIATE_TEST_SUITE_P(Registry, RegistryTexts, testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------------------
// Keys are found whatever the case, and keep the case they were made with.

TEST(Registry, KeysMatchWithoutRegardToCaseAndKeepTheirSpelling) {
    TempConfigHome home;
    ASSERT_EQ(Write(kCurrentUser, u"Software\\Case\\Zorvik", u"Drive", u"C:"), kSuccess);
    bool created = true;
    ScopedKey again;
    ASSERT_EQ(CreateKey(kCurrentUser, u"SOFTWARE\\case\\zorvik", kKeySetValue, again.out(), &created),
              kSuccess);
    EXPECT_FALSE(created);
    ASSERT_EQ(SetString(again.get(), u"DRIVE", u"D:"), kSuccess);

    EXPECT_EQ(SubKeys(kCurrentUser, u"Software\\Case"), std::vector<std::u16string>{u"Zorvik"});
    EXPECT_EQ(Read(kCurrentUser, u"software\\CASE\\ZORVIK", u"drive"), u"D:");
    ScopedKey key;
    ASSERT_EQ(OpenKey(kCurrentUser, u"Software\\Case\\Zorvik", kKeyQueryValue, key.out()), kSuccess);
    std::u16string name;
    EXPECT_EQ(EnumValue(key.get(), 0, &name), kSuccess);
    EXPECT_EQ(name, u"Drive");
    EXPECT_EQ(EnumValue(key.get(), 1, &name), kNoMoreItems);
}

}  // namespace
