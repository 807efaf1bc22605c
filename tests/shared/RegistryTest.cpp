#include <gtest/gtest.h>

#include "PlatformTraits.h"
#include "TempConfigHome.h"
#include "shared/NativeName.h"
#include "shared/Registry.h"
#include "shared/SettingsStore.h"

using namespace zv::reg;
using zv::test::TempConfigHome;

namespace {

const std::u16string kBase = u"Software\\Test", kChild = kBase + u"\\Child", kLeaf = kBase + u"\\Leaf";

std::u16string Read(std::u16string_view path, std::u16string_view name) {
    ScopedKey key;
    std::u16string text;
    OpenKey(kCurrentUser, path, kKeyQueryValue, key.out());
    QueryString(key.get(), name, &text);  // a key that could not be opened answers nothing
    return text;
}

long Write(std::u16string_view path, std::u16string_view name, std::u16string_view text) {
    ScopedKey key;
    const long r = CreateKey(kCurrentUser, path, kKeySetValue, key.out());
    return r == kSuccess ? SetString(key.get(), name, text) : r;
}

// Names of the sub keys (or with values, of the values) of the key at path.
std::vector<std::u16string> Enum(std::u16string_view path, bool values) {
    std::vector<std::u16string> names;
    std::u16string name;
    ScopedKey key;
    EXPECT_EQ(OpenKey(kCurrentUser, path, kKeyRead, key.out()), kSuccess);
    for (std::uint32_t i = 0;
         (values ? EnumValue(key.get(), i, &name) : EnumKey(key.get(), i, &name)) == kSuccess; ++i)
        names.push_back(name);
    return names;
}

// Each case starts from HKCU\Software\Test\Child with a value in it, opens
// the path with the given rights (unless it deletes or creates from the root)
// and makes one call.
enum class Call { Open, Delete, Create, Query, Set, DeleteValue, EnumKeys, CreateBelow };

long MakeCall(Call call, const std::u16string& path, std::uint32_t access, const std::u16string& name) {
    HKey created = 0;
    if (call == Call::Delete) return DeleteKey(kCurrentUser, path);
    if (call == Call::Create) return CreateKey(kCurrentUser, path, access, &created);
    ScopedKey key;
    long rc = OpenKey(kCurrentUser, path, access, key.out());
    if (rc != kSuccess || call == Call::Open) return rc;
    if (call == Call::Query) return QueryString(key.get(), name, nullptr);
    if (call == Call::Set) return SetString(key.get(), name, u"x");
    if (call == Call::DeleteValue) return DeleteValue(key.get(), name);
    if (call == Call::EnumKeys) return EnumKey(key.get(), name == u"" ? 1 : 0, nullptr);
    rc = CreateKey(key.get(), name, kKeyAllAccess, &created);
    CloseKey(created);
    return rc;
}

TEST(Registry, AnswersWin32ErrorNumbers) {
    using enum Call;
    // clang-format off
    const struct {
        Call call;
        std::u16string path;
        std::uint32_t access;
        long expected;
        std::u16string name = u"Name";  // for EnumKeys: empty asks past the end
    } cases[] = {
        {Open, u"Software\\Test\\Nope", kKeyRead, kFileNotFound},
        {Open, u"Software\\\\Test", kKeyRead, kBadPathname}, {Delete, kBase, 0, kAccessDenied},
        {Delete, u"", 0, kAccessDenied}, {Delete, u"software\\test\\CHILD", 0, kSuccess},
        {Delete, u"Software\\Test\\Nope", 0, kFileNotFound},
        {Query, kChild, kKeyQueryValue, kFileNotFound, u"Other"},
        {Query, kChild, kKeySetValue, kAccessDenied}, {Set, kChild, kKeyQueryValue, kAccessDenied},
        {DeleteValue, kChild, kKeyQueryValue, kAccessDenied},
        {DeleteValue, kChild, kKeySetValue, kFileNotFound, u"Other"},
        {DeleteValue, kChild, kKeySetValue, kSuccess}, {EnumKeys, kBase, kKeyQueryValue, kAccessDenied},
        {EnumKeys, kBase, kKeyRead, kNoMoreItems, u""},
        {Create, u"Software\\" + std::u16string(256, u'x'), kKeyAllAccess, kInvalidParameter},
        {CreateBelow, kBase, kKeyRead, kAccessDenied, u"New"},
        {CreateBelow, kBase, kKeyCreateSubKey, kSuccess, u"New"}};
    // clang-format on
    for (const auto& c : cases) {
        if (c.call == Call::CreateBelow && c.expected == kAccessDenied &&
            !zv::test::RegistryChecksCreateSubKeyRight())
            continue;  // this registry does not check the create right of the parent handle
        SCOPED_TRACE(zv::ToUtf8(c.path) + " " + std::to_string(static_cast<int>(c.call)));
        TempConfigHome home;
        ASSERT_EQ(Write(kChild, u"Name", u"value"), kSuccess);
        EXPECT_EQ(MakeCall(c.call, c.path, c.access, c.name), c.expected);
    }
}

TEST(Registry, HandlesOfClosedOrDeletedKeysAreRefused) {
    TempConfigHome home;
    HKey closed = 0;
    ASSERT_EQ(CreateKey(kCurrentUser, kLeaf, kKeyRead, &closed), kSuccess);
    CloseKey(closed);
    EXPECT_EQ(EnumKey(closed, 0, nullptr), kInvalidHandle);
    ScopedKey leaf;
    ASSERT_EQ(OpenKey(kCurrentUser, kLeaf, kKeyAllAccess, leaf.out()), kSuccess);
    ASSERT_EQ(DeleteKey(kCurrentUser, kLeaf), kSuccess);
    EXPECT_EQ(SetString(leaf.get(), u"X", u"y"), kKeyDeleted);
}

// Texts and names that need escaping or are not ASCII survive the file; a
// second value after each proves it did not swallow the rest of the file.
TEST(Registry, TextsRoundTripThroughTheFile) {
    // clang-format off
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"DRIVE", u"C:\\Photos\\\"best\" of\\"}, {u"フォルダ", u"Ｃ：\\写真\\２０２４年　旅行"},
        {u"emoji", u"\U0001F600 x \U00020B9F"}, {u"Empty", u""}, {u"", u"default"},
        {u"multi", u"one\r\ntwo\nthree\t."}, {u"\"=@[x]", u"\"]=hex:00,\\"},
        {u"odd", std::u16string(u"a") + char16_t(0xDC81) + u"b"}};
    // clang-format on
    TempConfigHome home;
    char16_t letter = u'a';
    for (const auto& [name, text] : cases) {
        SCOPED_TRACE(zv::ToUtf8(name));
        const std::u16string path = u"Software\\Texts\\" + std::u16string(1, letter++);
        ASSERT_EQ(Write(path, name, text), kSuccess);
        ASSERT_EQ(Write(path, u"After", u"tail"), kSuccess);
        EXPECT_EQ(Read(path, name), text);
        EXPECT_EQ(Read(path, u"After"), u"tail");
    }
}

// Keys are found whatever the case, and keep the case they were made with.
TEST(Registry, KeysMatchWithoutRegardToCaseAndKeepTheirSpelling) {
    TempConfigHome home;
    ASSERT_EQ(Write(u"Software\\Case\\Zorvik", u"Drive", u"C:"), kSuccess);
    bool created = true;
    ScopedKey again;
    ASSERT_EQ(CreateKey(kCurrentUser, u"SOFTWARE\\case\\zorvik", kKeySetValue, again.out(), &created),
              kSuccess);
    EXPECT_FALSE(created);
    ASSERT_EQ(SetString(again.get(), u"DRIVE", u"D:"), kSuccess);
    EXPECT_EQ(Read(u"software\\CASE\\ZORVIK", u"drive"), u"D:");
    EXPECT_EQ(Enum(u"Software\\Case", false), std::vector<std::u16string>{u"Zorvik"});
    EXPECT_EQ(Enum(u"Software\\Case\\Zorvik", true), std::vector<std::u16string>{u"Drive"});
}

// The key the remover deletes, and what GetSetting answers for DRIVE after a
// given history of the store.
TEST(SettingsStore, AnswersStoredTextOrFallbackWhereTheRemoverLooks) {
    const std::pair<void (*)(), std::u16string> cases[] = {
        {[] {}, u"fallback"},
        {[] { zv::SaveSetting(u"Zorvik", u"Setting", u"DRIVE", u""); }, u""},
        {[] {  // not a text
             ScopedKey key;
             CreateKey(kCurrentUser, zv::SettingsKeyPath(u"Zorvik", u"Setting"), kKeySetValue, key.out());
             SetValue(key.get(), u"DRIVE", kRegDword, {1, 0, 0, 0});
         },
         u"fallback"}};
    for (const auto& [prepare, expected] : cases) {
        TempConfigHome home;
        prepare();
        long error = -1;
        EXPECT_EQ(zv::GetSetting(u"Zorvik", u"Setting", u"DRIVE", u"fallback", &error), expected);
        EXPECT_EQ(error, 0);
    }
    TempConfigHome home;
    ASSERT_EQ(zv::SaveSetting(zv::kSettingsApp, zv::kSettingsSection, zv::kSettingPath, u"/srv/写真"), 0);
    EXPECT_EQ(Read(u"Software\\VB and VBA Program Settings\\Zorvik\\Setting", u"PATH"), u"/srv/写真");
}

TEST(SettingsStore, DeletingTheApplicationKeepsOtherKeys) {
    TempConfigHome home;
    ASSERT_EQ(zv::SaveSetting(u"Zorvik", u"Setting", u"DRIVE", u"C:"), 0);
    ASSERT_EQ(zv::SaveSetting(u"Zorvik", u"Window", u"Left", u"10"), 0);
    ASSERT_EQ(zv::SaveSetting(u"Neighbour", u"Setting", u"DRIVE", u"N:"), 0);
    ASSERT_EQ(zv::DeleteSetting(u"Zorvik"), 0);
    EXPECT_EQ(zv::GetSetting(u"Neighbour", u"Setting", u"DRIVE", u"-"), u"N:");
    ScopedKey key;
    EXPECT_EQ(OpenKey(kCurrentUser, zv::SettingsKeyPath(u"Zorvik"), kKeyRead, key.out()), kFileNotFound);
    EXPECT_EQ(zv::DeleteSetting(u"Zorvik"), kFileNotFound);
}

}  // namespace
