#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

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
// Error numbers: each case runs one call against the prepared registry.

struct ErrorCase {
    const char* label;
    std::function<long()> call;
    long expected;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.label; }

long OpenWith(std::u16string_view path, std::uint32_t access, const std::function<long(HKey)>& then) {
    ScopedKey key;
    long rc = OpenKey(kCurrentUser, path, access, key.out());
    return rc == kSuccess ? then(key.get()) : rc;
}

const ErrorCase kErrorCases[] = {
    {"OpenMissingKey", [] { return OpenWith(u"Software\\Test\\Nope", kKeyRead, [](HKey) { return 0L; }); },
     kFileNotFound},
    {"OpenIgnoresCase", [] { return OpenWith(u"SOFTWARE\\test\\child", kKeyRead, [](HKey) { return 0L; }); },
     kSuccess},
    {"DeleteKeyWithSubKeys", [] { return DeleteKey(kCurrentUser, kBase); }, kAccessDenied},
    {"DeleteEmptyKey", [] { return DeleteKey(kCurrentUser, u"Software\\Test\\Leaf"); }, kSuccess},
    {"DeleteKeyHoldingOnlyValues", [] { return DeleteKey(kCurrentUser, u"software\\test\\CHILD"); },
     kSuccess},
    {"DeleteMissingKey", [] { return DeleteKey(kCurrentUser, u"Software\\Test\\Nope"); }, kFileNotFound},
    {"DeleteBelowMissingParent", [] { return DeleteKey(kCurrentUser, u"Software\\Nope\\Deeper"); },
     kFileNotFound},
    {"DeletePredefinedRoot", [] { return DeleteKey(kCurrentUser, u""); }, kAccessDenied},
    {"QueryMissingValue",
     [] {
         return OpenWith(u"Software\\Test\\Child", kKeyQueryValue,
                         [](HKey k) { return QueryString(k, u"Other", nullptr); });
     },
     kFileNotFound},
    {"QueryValueIgnoresCase",
     [] {
         return OpenWith(u"Software\\Test\\Child", kKeyQueryValue,
                         [](HKey k) { return QueryString(k, u"NAME", nullptr); });
     },
     kSuccess},
    {"QueryWithoutQueryRight",
     [] {
         return OpenWith(u"Software\\Test\\Child", kKeySetValue,
                         [](HKey k) { return QueryString(k, u"Name", nullptr); });
     },
     kAccessDenied},
    {"SetWithoutSetRight",
     [] {
         return OpenWith(u"Software\\Test\\Child", kKeyQueryValue,
                         [](HKey k) { return SetString(k, u"X", u"y"); });
     },
     kAccessDenied},
    {"EnumWithoutEnumerateRight",
     [] { return OpenWith(kBase, kKeyQueryValue, [](HKey k) { return EnumKey(k, 0, nullptr); }); },
     kAccessDenied},
    {"EnumKeyPastEnd",
     [] { return OpenWith(kBase, kKeyRead, [](HKey k) { return EnumKey(k, 2, nullptr); }); }, kNoMoreItems},
    {"EnumValuePastEnd",
     [] {
         return OpenWith(u"Software\\Test\\Child", kKeyRead, [](HKey k) { return EnumValue(k, 1, nullptr); });
     },
     kNoMoreItems},
    {"EmptyPathPart", [] { return OpenWith(u"Software\\\\Test", kKeyRead, [](HKey) { return 0L; }); },
     kBadPathname},
    {"LeadingBackslash", [] { return DeleteKey(kCurrentUser, u"\\Software\\Test\\Leaf"); }, kBadPathname},
    {"KeyNameTooLong",
     [] {
         HKey k = 0;
         return CreateKey(kCurrentUser, u"Software\\" + std::u16string(256, u'x'), kKeyAllAccess, &k);
     },
     kInvalidParameter},
    {"KeyNameWithLineBreak",
     [] {
         HKey k = 0;
         return CreateKey(kCurrentUser, u"Software\\a\nb", kKeyAllAccess, &k);
     },
     kInvalidParameter},
    {"ClosedHandle",
     [] {
         HKey k = 0;
         OpenKey(kCurrentUser, kBase, kKeyRead, &k);
         CloseKey(k);
         return EnumKey(k, 0, nullptr);
     },
     kInvalidHandle},
    {"HandleOfDeletedKey",
     [] {
         return OpenWith(u"Software\\Test\\Leaf", kKeyAllAccess, [](HKey k) {
             DeleteKey(kCurrentUser, u"Software\\Test\\Leaf");
             return SetString(k, u"X", u"y");
         });
     },
     kKeyDeleted},
    {"CreateBelowHandleWithoutCreateRight",
     [] {
         return OpenWith(kBase, kKeyRead, [](HKey k) {
             HKey sub = 0;
             return CreateKey(k, u"New", kKeyAllAccess, &sub);
         });
     },
     kAccessDenied},
};

class RegistryErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(RegistryErrors, AnswersWin32Number) {
    Prepared registry;
    EXPECT_EQ(GetParam().call(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Registry, RegistryErrors, testing::ValuesIn(kErrorCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Registry, RefusedDeleteLeavesTheKeyAndItsValues) {
    Prepared registry;
    ASSERT_EQ(DeleteKey(kCurrentUser, kBase), kAccessDenied);
    long rc = -1;
    EXPECT_EQ(Read(kCurrentUser, u"Software\\Test\\Child", u"Name", &rc), u"value");
    EXPECT_EQ(rc, kSuccess);
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
    {"Plain", u"PATH", u"/home/user/Photos"},
    {"BackslashesAndQuotes", u"DRIVE", u"C:\\Photos\\\"best\" of\\"},
    {"TrailingBackslash", u"PATH", u"D:\\"},
    {"Japanese", u"フォルダ", u"Ｃ：\\写真\\２０２４年　旅行"},
    {"HalfWidthKatakana", u"ｷｬﾝｾﾙ", u"ｼｽﾃﾑ情報"},
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
    std::u16string first;
    ASSERT_EQ(EnumValue(key.get(), 0, &first), kSuccess);
    EXPECT_EQ(first, c.name);
}

INSTANTIATE_TEST_SUITE_P(Registry, RegistryTexts, testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Registry, JapaneseIsStoredAsReadableText) {
    TempConfigHome home;
    ASSERT_EQ(Write(kCurrentUser, u"Software\\日本", u"名前", u"写真"), kSuccess);
    std::string file = home.Read("HKEY_CURRENT_USER");
    EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\日本]\n\"名前\"=\"写真\"\n"), std::string::npos)
        << file;
}

// ---------------------------------------------------------------------------
// Keys are found whatever the case, and keep the case they were made with.

TEST(Registry, KeysMatchWithoutRegardToCaseAndKeepTheirSpelling) {
    TempConfigHome home;
    ASSERT_EQ(Write(kCurrentUser, u"Software\\Zorvik", u"Drive", u"C:"), kSuccess);
    bool created = true;
    ScopedKey again;
    ASSERT_EQ(CreateKey(kCurrentUser, u"SOFTWARE\\zorvik", kKeySetValue, again.out(), &created), kSuccess);
    EXPECT_FALSE(created);
    ASSERT_EQ(SetString(again.get(), u"DRIVE", u"D:"), kSuccess);

    EXPECT_EQ(SubKeys(kCurrentUser, u"Software"), std::vector<std::u16string>{u"Zorvik"});
    EXPECT_EQ(Read(kCurrentUser, u"software\\ZORVIK", u"drive"), u"D:");
    ScopedKey key;
    ASSERT_EQ(OpenKey(kCurrentUser, u"Software\\Zorvik", kKeyQueryValue, key.out()), kSuccess);
    std::u16string name;
    EXPECT_EQ(EnumValue(key.get(), 0, &name), kSuccess);
    EXPECT_EQ(name, u"Drive");
    EXPECT_EQ(EnumValue(key.get(), 1, &name), kNoMoreItems);
}

TEST(Registry, SubKeysComeInNameOrderValuesInWritingOrder) {
    TempConfigHome home;
    for (auto name : {u"b", u"C", u"a", u"Ä"})
        ASSERT_EQ(Write(kCurrentUser, u"Software\\Order\\" + std::u16string(name), u"v", u"1"), kSuccess);
    for (auto name : {u"zeta", u"Alpha", u"mid"})
        ASSERT_EQ(Write(kCurrentUser, u"Software\\Order", name, u"1"), kSuccess);
    EXPECT_EQ(SubKeys(kCurrentUser, u"Software\\Order"),
              (std::vector<std::u16string>{u"a", u"b", u"C", u"Ä"}));
    ScopedKey key;
    ASSERT_EQ(OpenKey(kCurrentUser, u"Software\\Order", kKeyQueryValue, key.out()), kSuccess);
    std::vector<std::u16string> values;
    std::u16string name;
    for (std::uint32_t i = 0; EnumValue(key.get(), i, &name) == kSuccess; ++i) values.push_back(name);
    EXPECT_EQ(values, (std::vector<std::u16string>{u"zeta", u"Alpha", u"mid"}));
}

TEST(Registry, RootsKeepSeparateFiles) {
    TempConfigHome home;
    ASSERT_EQ(Write(kCurrentUser, u"Software\\Same", u"v", u"user"), kSuccess);
    ASSERT_EQ(Write(kUsers, u".Default\\Software\\Same", u"v", u"users"), kSuccess);
    ASSERT_EQ(Write(kLocalMachine, u"Software\\Same", u"v", u"machine"), kSuccess);
    EXPECT_EQ(Read(kCurrentUser, u"Software\\Same", u"v"), u"user");
    EXPECT_EQ(Read(kLocalMachine, u"Software\\Same", u"v"), u"machine");
    long rc = -1;
    Read(kUsers, u"Software\\Same", u"v", &rc);
    EXPECT_EQ(rc, kFileNotFound);
    EXPECT_TRUE(std::filesystem::exists(home.File("HKEY_USERS")));
    EXPECT_TRUE(std::filesystem::exists(home.File("HKEY_LOCAL_MACHINE")));
}

}  // namespace
