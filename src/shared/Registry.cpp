// Text values on top of each backend's raw value calls. REG_SZ data is
// UTF-16 little-endian with a terminating NUL on every platform.
#include "shared/Registry.h"

namespace zv::reg {

long QueryString(HKey key, std::u16string_view name, std::u16string* text, std::uint32_t* type) {
    std::uint32_t stored = 0;
    std::vector<std::uint8_t> data;
    const long rc = QueryValue(key, name, &stored, &data);
    if (rc != kSuccess) return rc;
    if (type) *type = stored;
    if (text) {
        text->clear();
        if (stored == kRegSz || stored == kRegExpandSz) {
            for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
                const auto c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
                if (c == 0) break;
                *text += c;
            }
        }
    }
    return kSuccess;
}

long SetString(HKey key, std::u16string_view name, std::u16string_view text) {
    std::vector<std::uint8_t> data;
    data.reserve(text.size() * 2 + 2);
    for (char16_t c : text) {
        data.push_back(static_cast<std::uint8_t>(c & 0xFF));
        data.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    return SetValue(key, name, kRegSz, data);
}

}  // namespace zv::reg
