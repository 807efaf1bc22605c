#include "NameText.h"

namespace zv {

NameParts SplitName(std::u16string_view name) {
    std::size_t cut = name.size();
    if (name.size() >= 4 && name[name.size() - 4] == u'.') {
        cut = name.size() - 4;
    } else if (const std::size_t dot = name.rfind(u'.'); dot != std::u16string_view::npos && dot > 0) {
        cut = dot;
    }
    return {std::u16string(name.substr(0, cut)), std::u16string(name.substr(cut))};
}

std::u16string WidenDigits(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if (c >= u'0' && c <= u'9') c = static_cast<char16_t>(u'０' + (c - u'0'));
    }
    return out;
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view search,
                          std::u16string_view replacement) {
    if (search.empty()) return std::u16string(text);
    std::u16string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(search, from)) != std::u16string_view::npos;) {
        out.append(text.substr(from, at - from));
        out.append(replacement);
        from = at + search.size();
    }
    out.append(text.substr(from));
    return out;
}

}  // namespace zv
