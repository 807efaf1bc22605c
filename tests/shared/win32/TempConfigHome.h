#pragma once
// The real registry of the (throw-away) Wine or Windows profile, put back to
// how the first test found it: whatever a test adds below
// HKEY_CURRENT_USER\Software is removed before and after each test. Read() gives the whole
// root as text, so a test can see that nothing changed.

#include <windows.h>

#include <set>
#include <string>

#include "shared/NativeName.h"
#include "shared/Registry.h"

namespace zv::test {

class TempConfigHome {
  public:
    TempConfigHome() { Clean(); }
    ~TempConfigHome() { Clean(); }

    // Every key, value type and value byte below the root, in enumeration order.
    std::string Read(const std::string& rootName) const {
        std::string out;
        Dump(rootName == "HKEY_USERS" ? reg::kUsers : reg::kCurrentUser, u"", out);
        return out;
    }

  private:
    // Names of the sub keys (or of the values) of the key at path.
    static std::vector<std::u16string> Names(reg::HKey root, const std::u16string& path, bool values) {
        std::vector<std::u16string> names;
        reg::ScopedKey key;
        std::u16string name;
        if (reg::OpenKey(root, path, reg::kKeyRead, key.out()) != reg::kSuccess) return names;
        for (std::uint32_t i = 0; (values ? reg::EnumValue(key.get(), i, &name)
                                          : reg::EnumKey(key.get(), i, &name)) == reg::kSuccess;
             ++i)
            names.push_back(name);
        return names;
    }

    static void Clean() {
        static const auto baseline = Names(reg::kCurrentUser, u"Software", false);
        const std::set<std::u16string> keep(baseline.begin(), baseline.end());
        for (const auto& name : Names(reg::kCurrentUser, u"Software", false)) {
            if (keep.count(name)) continue;
            const std::wstring path = L"Software\\" + std::wstring(name.begin(), name.end());
            RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
            RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
        }
    }

    static void Dump(reg::HKey root, const std::u16string& path, std::string& out) {
        reg::ScopedKey key;
        if (reg::OpenKey(root, path, reg::kKeyRead, key.out()) != reg::kSuccess) return;
        out += "[" + ToUtf8(path) + "]\n";
        for (const auto& name : Names(root, path, true)) {
            std::uint32_t type = 0;
            std::vector<std::uint8_t> data;
            reg::QueryValue(key.get(), name, &type, &data);
            out += ToUtf8(name) + "=" + std::to_string(type) + ":";
            for (std::uint8_t b : data) out += std::to_string(b) + ",";
            out += "\n";
        }
        for (const auto& child : Names(root, path, false))
            Dump(root, path.empty() ? child : path + u"\\" + child, out);
    }
};

}  // namespace zv::test
