// The registry file on disk: damage is reported and never overwritten, values
// the program did not write survive its changes, and concurrent writers in
// separate processes lose nothing.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "TempConfigHome.h"
#include "shared/Registry.h"

using namespace zv::reg;
using zv::test::TempConfigHome;

namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";

struct DamageCase {
    const char* label;
    std::string text;
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.label; }

const DamageCase kDamageCases[] = {
    {"EmptyFile", ""},
    {"NoHeader", "[HKEY_CURRENT_USER\\Software]\n\"a\"=\"b\"\n"},
    {"UnterminatedQuote", kHeader + "[HKEY_CURRENT_USER\\Software]\n\"a\"=\"b\n"},
    {"UnknownEscape", kHeader + "[HKEY_CURRENT_USER\\Software]\n\"a\"=\"C:\\Photos\"\n"},
    {"DeletionSection", kHeader + "[-HKEY_CURRENT_USER\\Software]\n"},
    {"BadHex", kHeader + "[HKEY_CURRENT_USER\\Software]\n\"a\"=hex:0g,01\n"},
    {"InvalidUtf8", kHeader + "[HKEY_CURRENT_USER\\Software]\n\"a\"=\"\xff\xfe\"\n"},
    {"BinaryJunk", std::string("\x00\x01\x02\x03garbage\x00", 12)},
};

class RegistryDamage : public testing::TestWithParam<DamageCase> {};

TEST_P(RegistryDamage, IsReportedAndNeverOverwritten) {
    TempConfigHome home;
    home.Write("HKEY_CURRENT_USER", GetParam().text);

    HKey key = 0;
    EXPECT_EQ(OpenKey(kCurrentUser, u"Software", kKeyRead, &key), kBadDb);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(CreateKey(kCurrentUser, u"Software\\New", kKeyAllAccess, &key), kBadDb);
    EXPECT_EQ(SetString(kCurrentUser, u"v", u"x"), kBadDb);
    EXPECT_EQ(DeleteKey(kCurrentUser, u"Software"), kBadDb);
    EXPECT_EQ(EnumKey(kCurrentUser, 0, nullptr), kBadDb);
    EXPECT_EQ(home.Read("HKEY_CURRENT_USER"), GetParam().text);

    // The other roots are not affected.
    EXPECT_EQ(CreateKey(kUsers, u".Default", kKeyAllAccess, &key), kSuccess);
    CloseKey(key);
}

INSTANTIATE_TEST_SUITE_P(Registry, RegistryDamage, testing::ValuesIn(kDamageCases),
                         [](const auto& info) { return std::string(info.param.label); });

// Files as a person or the registry editor may write them.
struct ForeignCase {
    const char* label;
    std::string text;
    std::u16string key;
    std::u16string name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
};

void PrintTo(const ForeignCase& c, std::ostream* os) { *os << c.label; }

const ForeignCase kForeignCases[] = {
    {"MultiStringOverLines",
     kHeader + "[HKEY_CURRENT_USER\\Software\\App]\n\"m\"=hex(7):41,00,00,00,\\\n  42,00,00,00,\\\n  00,00\n",
     u"Software\\App",
     u"m",
     kRegMultiSz,
     {0x41, 0, 0, 0, 0x42, 0, 0, 0, 0, 0}},
    {"ByteOrderMarkAndLowerCaseRoot",
     "\xEF\xBB\xBF" + kHeader + "[hkey_current_user\\Software\\App]\n\"s\"=\"\\\"q\\\\\"\n",
     u"Software\\App",
     u"s",
     kRegSz,
     {'"', 0, 'q', 0, '\\', 0, 0, 0}},
};

class RegistryForeign : public testing::TestWithParam<ForeignCase> {};

TEST_P(RegistryForeign, IsReadAndSurvivesOtherChanges) {
    TempConfigHome home;
    const auto& c = GetParam();
    home.Write("HKEY_CURRENT_USER", c.text);

    // Change something elsewhere, then read the untouched value back exactly.
    HKey other = 0;
    ASSERT_EQ(CreateKey(kCurrentUser, u"Software\\Zorvik\\Setting", kKeySetValue, &other), kSuccess);
    ASSERT_EQ(SetString(other, u"PATH", u"/tmp"), kSuccess);
    CloseKey(other);

    ScopedKey key;
    ASSERT_EQ(OpenKey(kCurrentUser, c.key, kKeyQueryValue, key.out()), kSuccess);
    std::uint32_t type = 99;
    std::vector<std::uint8_t> data;
    ASSERT_EQ(QueryValue(key.get(), c.name, &type, &data), kSuccess);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(data, c.data);
}

INSTANTIATE_TEST_SUITE_P(Registry, RegistryForeign, testing::ValuesIn(kForeignCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(RegistryFile, FailedWriteKeepsTheOldFile) {
    TempConfigHome home;
    ASSERT_EQ(SetString(kCurrentUser, u"kept", u"old"), kSuccess);
    const std::string before = home.Read("HKEY_CURRENT_USER");
    // A folder where the temporary file must go makes the write fail, even for root.
    const auto blocker = home.Folder() / "HKEY_CURRENT_USER.reg.tmp";
    std::filesystem::create_directory(blocker);
    EXPECT_EQ(SetString(kCurrentUser, u"kept", u"new"), kCantWrite);
    std::filesystem::remove(blocker);
    EXPECT_EQ(home.Read("HKEY_CURRENT_USER"), before);
    std::u16string text;
    EXPECT_EQ(QueryString(kCurrentUser, u"kept", &text), kSuccess);
    EXPECT_EQ(text, u"old");
}

// Several processes write into the same key at once; every value arrives.
class RegistryConcurrency : public testing::TestWithParam<int> {};

TEST_P(RegistryConcurrency, SeparateProcessesLoseNothing) {
    TempConfigHome home;
    const int writers = GetParam();
    constexpr int kPerWriter = 40;
    std::vector<pid_t> children;
    for (int w = 0; w < writers; ++w) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            for (int i = 0; i < kPerWriter; ++i) {
                std::string name = "w" + std::to_string(w) + "_" + std::to_string(i);
                HKey key = 0;
                std::u16string path = u"Software\\Race\\K" + std::u16string(1, char16_t(u'0' + w));
                failures += CreateKey(kCurrentUser, path, kKeySetValue, &key) != kSuccess;
                CloseKey(key);
                failures +=
                    SetString(kCurrentUser, std::u16string(name.begin(), name.end()), u"値") != kSuccess;
            }
            _exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    int found = 0;
    for (std::uint32_t i = 0; EnumValue(kCurrentUser, i, nullptr) == kSuccess; ++i) ++found;
    EXPECT_EQ(found, writers * kPerWriter);
    std::u16string text;
    EXPECT_EQ(QueryString(kCurrentUser, u"w0_0", &text), kSuccess);
    EXPECT_EQ(text, u"値");
    int keys = 0;
    ScopedKey race;
    ASSERT_EQ(OpenKey(kCurrentUser, u"Software\\Race", kKeyRead, race.out()), kSuccess);
    for (std::uint32_t i = 0; EnumKey(race.get(), i, nullptr) == kSuccess; ++i) ++keys;
    EXPECT_EQ(keys, writers);
}

INSTANTIATE_TEST_SUITE_P(Registry, RegistryConcurrency, testing::Values(4));

}  // namespace
