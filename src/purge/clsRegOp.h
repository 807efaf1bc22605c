#pragma once
// ZVPURGE's registry helper. The caller fills in the fields, calls one method
// and reads the answer: RegistOperation reads a text value, writes one,
// creates a key or deletes one, and answers with a Japanese status text; the
// two enumerations list a key's sub keys or value names. Every method opens
// and closes its key itself; nothing but the enumeration results is kept.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

class clsRegOp {
  public:
    // Status texts of RegistOperation.
    static constexpr std::u16string_view kDone = u"正常終了";
    static constexpr std::u16string_view kInvalidData = u"不正なデータ";
    static constexpr std::u16string_view kNoSuchKey = u"指定のキーがない";
    static constexpr std::u16string_view kFailed = u"エラーで終了";

    // Operation codes of Flag.
    enum : std::int16_t { kRead = 0, kWrite = 1, kCreate = 2, kDelete = 3 };

    // Bytes of the read buffer, counted in the system code page; a value that
    // needs more (with its terminating NUL) is not read.
    static constexpr int kReadBufferBytes = 250;
    // Longest name an enumeration takes, in code page bytes with its NUL.
    static constexpr int kNameBufferBytes = 255;

    // A predefined root key by its Win32 number, e.g. 0x80000003 (HKEY_USERS).
    std::uint32_t RootKey = 0;
    // Path below the root, parts separated by "\".
    std::u16string SubKey;
    // Value to read or write; empty for the key's default value.
    std::u16string ValueName;
    // Text to write; after a read, the whole read buffer.
    std::u16string ValueData;
    std::int16_t Flag = 0;

    // Lists the value names of RootKey\SubKey into EnumValueName; answers the count.
    std::int16_t EnumRegValueName();
    // Sub key names of the last EnumRegKeyName, each but the last followed by one NUL.
    const std::u16string& EnumKeyName() const { return enumKeyName_; }
    // Number of names the last enumeration found (of either kind).
    std::int16_t KeyCount() const { return keyCount_; }
    // Runs the operation Flag names. A read answers the value's text (empty
    // when there is none); the other operations answer a status text.
    std::u16string RegistOperation();
    // Lists the sub key names of RootKey\SubKey into EnumKeyName; answers the count.
    std::int16_t EnumRegKeyName();
    // Value names of the last EnumRegValueName, joined like EnumKeyName.
    const std::u16string& EnumValueName() const { return enumValueName_; }

  private:
    std::u16string Read();
    std::u16string Write();
    std::u16string Create();
    std::u16string Delete();
    template <typename Next>
    void Enumerate(std::uint32_t access, Next next);
    std::u16string JoinNames() const;

    std::vector<std::u16string> FoundNames;
    std::int16_t keyCount_ = 0;
    std::u16string enumKeyName_;
    std::u16string enumValueName_;
};

}  // namespace zv
