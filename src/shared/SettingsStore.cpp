#include "shared/SettingsStore.h"

#include <vector>

#include "shared/Registry.h"

namespace zv {

namespace {

// Deletes a key with everything below it, deepest keys first; the registry
// refuses to delete a key that still has sub keys.
long DeleteTree(reg::HKey root, const std::u16string& path) {
    std::vector<std::u16string> children;
    {
        reg::ScopedKey key;
        long rc = reg::OpenKey(root, path, reg::kKeyEnumerateSubKeys, key.out());
        if (rc != reg::kSuccess) return rc;
        std::u16string name;
        for (std::uint32_t i = 0; (rc = reg::EnumKey(key.get(), i, &name)) == reg::kSuccess; ++i)
            children.push_back(name);
        if (rc != reg::kNoMoreItems) return rc;
    }
    for (const auto& child : children) {
        long rc = DeleteTree(root, path + u'\\' + child);
        if (rc != reg::kSuccess && rc != reg::kFileNotFound) return rc;
    }
    return reg::DeleteKey(root, path);
}

}  // namespace

std::u16string SettingsKeyPath(std::u16string_view app, std::u16string_view section) {
    std::u16string path = u"Software\\";
    path += kSettingsRoot;
    path += u'\\';
    path += app;
    if (!section.empty()) {
        path += u'\\';
        path += section;
    }
    return path;
}

std::u16string GetSetting(std::u16string_view app, std::u16string_view section, std::u16string_view key,
                          std::u16string_view fallback, long* error) {
    reg::ScopedKey handle;
    std::u16string value;
    long rc =
        reg::OpenKey(reg::kCurrentUser, SettingsKeyPath(app, section), reg::kKeyQueryValue, handle.out());
    std::uint32_t type = 0;
    if (rc == reg::kSuccess) rc = reg::QueryString(handle.get(), key, &value, &type);
    if (rc == reg::kSuccess && type != reg::kRegSz && type != reg::kRegExpandSz) rc = reg::kFileNotFound;
    if (error) *error = rc == reg::kFileNotFound ? reg::kSuccess : rc;
    if (rc != reg::kSuccess) return std::u16string(fallback);
    return value;
}

long SaveSetting(std::u16string_view app, std::u16string_view section, std::u16string_view key,
                 std::u16string_view value) {
    reg::ScopedKey handle;
    long rc =
        reg::CreateKey(reg::kCurrentUser, SettingsKeyPath(app, section), reg::kKeySetValue, handle.out());
    if (rc != reg::kSuccess) return rc;
    return reg::SetString(handle.get(), key, value);
}

long DeleteSetting(std::u16string_view app, std::u16string_view section, std::u16string_view key) {
    if (app.empty()) return reg::kInvalidParameter;
    std::u16string path = SettingsKeyPath(app, section);
    if (section.empty() || key.empty()) return DeleteTree(reg::kCurrentUser, path);
    reg::ScopedKey handle;
    long rc = reg::OpenKey(reg::kCurrentUser, path, reg::kKeySetValue, handle.out());
    if (rc != reg::kSuccess) return rc;
    return reg::DeleteValue(handle.get(), key);
}

long SetAsideDamagedSettings(std::u16string* keptAs) {
    return reg::SetAsideDamaged(reg::kCurrentUser, keptAs);
}

}  // namespace zv
