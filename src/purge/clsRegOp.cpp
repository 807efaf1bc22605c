#include "purge/clsRegOp.h"

#include <limits>

#include "shared/CodePage.h"
#include "shared/Registry.h"

namespace zv {

namespace {

std::u16string Status(std::u16string_view text) { return std::u16string(text); }

}  // namespace

std::u16string clsRegOp::RegistOperation() {
    // Every registry answer is turned into a status text here; nothing is
    // thrown to the caller.
    try {
        switch (Flag) {
            case kRead:
                return Read();
            case kWrite:
                return Write();
            case kCreate:
                return Create();
            case kDelete:
                return Delete();
            default:
                // An unknown code must not pass for a successful operation.
                return Status(kInvalidData);
        }
    } catch (...) {
        return Status(kFailed);
    }
}

std::u16string clsRegOp::Read() {
    ValueData.assign(kReadBufferBytes, u'\0');
    reg::ScopedKey key;
    long rc = reg::OpenKey(RootKey, SubKey, reg::kKeyQueryValue, key.out());
    if (rc == reg::kFileNotFound) return Status(kNoSuchKey);
    // A registry that cannot be read is an error, not an empty value.
    if (rc != reg::kSuccess) return Status(kFailed);

    std::u16string text;
    if (reg::QueryString(key.get(), ValueName, &text) != reg::kSuccess) return {};
    // The value and its terminating NUL must fit the buffer, as the code page
    // counts them; the rest of the buffer stays NUL.
    const int bytes = AnsiByteCount(text);
    if (bytes + 1 > kReadBufferBytes) return {};
    ValueData = text + std::u16string(static_cast<std::size_t>(kReadBufferBytes - bytes), u'\0');
    return text;
}

std::u16string clsRegOp::Write() {
    reg::ScopedKey key;
    long rc = reg::OpenKey(RootKey, SubKey, reg::kKeySetValue, key.out());
    if (rc == reg::kFileNotFound) return Status(kNoSuchKey);
    if (rc != reg::kSuccess) return Status(kFailed);
    return reg::SetString(key.get(), ValueName, ValueData) == reg::kSuccess ? Status(kDone) : Status(kFailed);
}

std::u16string clsRegOp::Create() {
    if (SubKey.empty()) return Status(kInvalidData);
    reg::ScopedKey key;
    return reg::CreateKey(RootKey, SubKey, reg::kKeyCreateSubKey, key.out()) == reg::kSuccess
               ? Status(kDone)
               : Status(kFailed);
}

std::u16string clsRegOp::Delete() {
    return reg::DeleteKey(RootKey, SubKey) == reg::kSuccess ? Status(kDone) : Status(kFailed);
}

template <typename Next>
void clsRegOp::Enumerate(std::uint32_t access, Next next) {
    reg::ScopedKey key;
    // A key that cannot be opened simply has nothing to list.
    reg::OpenKey(RootKey, SubKey, access, key.out());
    keyCount_ = 0;
    std::u16string name;
    for (std::uint32_t index = 0; key.get() != 0; ++index) {
        if (next(key.get(), index, &name) != reg::kSuccess) break;
        // A name longer than the name buffer ends the listing, as it does
        // for every caller with a fixed buffer.
        if (AnsiByteCount(name) + 1 > kNameBufferBytes) break;
        if (keyCount_ == std::numeric_limits<std::int16_t>::max()) break;
        if (FoundNames.size() < index + 1) FoundNames.resize(index + 1);
        FoundNames[index] = name;
        ++keyCount_;
    }
}

std::int16_t clsRegOp::EnumRegKeyName() {
    Enumerate(reg::kKeyEnumerateSubKeys, [](reg::HKey key, std::uint32_t index, std::u16string* name) {
        return reg::EnumKey(key, index, name);
    });
    enumKeyName_ = JoinNames();
    return keyCount_;
}

std::int16_t clsRegOp::EnumRegValueName() {
    Enumerate(reg::kKeyQueryValue, [](reg::HKey key, std::uint32_t index, std::u16string* name) {
        return reg::EnumValue(key, index, name);
    });
    enumValueName_ = JoinNames();
    return keyCount_;
}

std::u16string clsRegOp::JoinNames() const {
    std::u16string joined;
    for (int i = 0; i < keyCount_; ++i) {
        if (i > 0) joined += u'\0';
        joined += FoundNames[static_cast<std::size_t>(i)];
    }
    return joined;
}

}  // namespace zv
