#include "shared/posix/RegFile.h"

#include <unicode/uchar.h>

#include <cstdio>

#include "shared/Utf8Codec.h"

namespace zv::reg::detail {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

// Reads a quoted string at the start of s (which starts with '"'), undoing
// the two escapes of the format. On success s is left after the closing quote.
bool ReadQuoted(std::string_view& s, std::u16string& out) {
    std::string raw;
    std::size_t i = 1;
    for (;; ++i) {
        if (i >= s.size()) return false;
        char c = s[i];
        if (c == '"') break;
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) return false;
            raw += s[++i];
        } else {
            raw += c;
        }
    }
    s.remove_prefix(i + 1);
    return Utf8ToUtf16(raw, out);
}

bool ReadHexBytes(std::string_view s, std::vector<std::uint8_t>& out) {
    s = TrimLeft(TrimRight(s));
    if (s.empty()) return true;
    for (;;) {
        s = TrimLeft(s);
        if (s.size() < 2 || !IsHex(s[0]) || !IsHex(s[1])) return false;
        out.push_back(static_cast<std::uint8_t>(HexValue(s[0]) * 16 + HexValue(s[1])));
        s = TrimLeft(s.substr(2));
        if (s.empty()) return true;
        if (s.front() != ',') return false;
        s.remove_prefix(1);
    }
}

bool ReadData(std::string_view s, RegValue& value) {
    s = TrimLeft(s);
    if (!s.empty() && s.front() == '"') {
        std::u16string text;
        if (!ReadQuoted(s, text) || !TrimRight(s).empty()) return false;
        value.type = 1;
        value.data.clear();
        for (char16_t c : text) {
            value.data.push_back(static_cast<std::uint8_t>(c & 0xFF));
            value.data.push_back(static_cast<std::uint8_t>(c >> 8));
        }
        value.data.push_back(0);
        value.data.push_back(0);
        return true;
    }
    if (s.substr(0, 6) == "dword:") {
        std::string_view digits = TrimRight(s.substr(6));
        if (digits.empty() || digits.size() > 8) return false;
        std::uint32_t v = 0;
        for (char c : digits) {
            if (!IsHex(c)) return false;
            v = v * 16 + static_cast<std::uint32_t>(HexValue(c));
        }
        value.type = 4;
        value.data = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                      static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
        return true;
    }
    if (s.substr(0, 4) == "hex:") {
        value.type = 3;
        return ReadHexBytes(s.substr(4), value.data);
    }
    if (s.substr(0, 4) == "hex(") {
        std::size_t close = s.find(')');
        if (close == std::string_view::npos || close == 4 || close > 12 || close + 1 >= s.size() ||
            s[close + 1] != ':')
            return false;
        std::uint32_t type = 0;
        for (char c : s.substr(4, close - 4)) {
            if (!IsHex(c)) return false;
            type = type * 16 + static_cast<std::uint32_t>(HexValue(c));
        }
        value.type = type;
        return ReadHexBytes(s.substr(close + 2), value.data);
    }
    return false;
}

void AppendQuoted(std::string& out, std::u16string_view text) {
    std::string utf8;
    Utf16ToUtf8(text, utf8);
    out += '"';
    for (char c : utf8) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
}

// The text of a REG_SZ value when the quoted form carries it exactly.
bool QuotableText(const RegValue& value, std::u16string& text) {
    const auto& d = value.data;
    if (d.size() < 2 || d.size() % 2 != 0 || d[d.size() - 1] != 0 || d[d.size() - 2] != 0) return false;
    text.clear();
    for (std::size_t i = 0; i + 2 < d.size(); i += 2) text += static_cast<char16_t>(d[i] | (d[i + 1] << 8));
    return IsStorableName(text);
}

void AppendHex(std::string& out, const std::vector<std::uint8_t>& data) {
    char buf[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(buf, sizeof buf, i == 0 ? "%02x" : ",%02x", data[i]);
        out += buf;
    }
}

void WriteNode(std::string& out, const RegNode& node, const std::u16string& path, bool isRoot) {
    if (!isRoot || !node.values.empty()) {
        std::string utf8;
        Utf16ToUtf8(path, utf8);
        out += '[' + utf8 + "]\n";
        for (const RegValue& v : node.values) {
            if (v.name.empty())
                out += '@';
            else
                AppendQuoted(out, v.name);
            out += '=';
            std::u16string text;
            char buf[32];
            if (v.type == 1 && QuotableText(v, text)) {
                AppendQuoted(out, text);
            } else if (v.type == 4 && v.data.size() == 4) {
                std::snprintf(buf, sizeof buf, "dword:%08x",
                              v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (unsigned(v.data[3]) << 24));
                out += buf;
            } else {
                if (v.type == 3) {
                    out += "hex:";
                } else {
                    std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
                    out += buf;
                }
                AppendHex(out, v.data);
            }
            out += '\n';
        }
        out += '\n';
    }
    for (const auto& [folded, child] : node.children)
        WriteNode(out, *child, path + u'\\' + child->name, false);
}

// Splits the text into logical lines, joining hex data continued with a
// trailing backslash.
std::vector<std::string> LogicalLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string pending;
    bool continuing = false;
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        line = TrimRight(line);
        if (continuing) line = TrimLeft(line);
        bool hexData = continuing || line.find("=hex") != std::string_view::npos;
        bool continues = hexData && !line.empty() && line.back() == '\\';
        if (continues) line.remove_suffix(1);
        pending += line;
        continuing = continues;
        if (!continuing) {
            lines.push_back(std::move(pending));
            pending.clear();
        }
    }
    if (continuing) lines.push_back(std::move(pending));
    return lines;
}

}  // namespace

RegNode* RegNode::Child(std::u16string_view childName) const {
    auto it = children.find(FoldName(childName));
    return it == children.end() ? nullptr : it->second.get();
}

RegNode* RegNode::AddChild(std::u16string_view childName, bool* created) {
    auto& slot = children[FoldName(childName)];
    if (created) *created = !slot;
    if (!slot) {
        slot = std::make_unique<RegNode>();
        slot->name = childName;
    }
    return slot.get();
}

RegValue* RegNode::FindValue(std::u16string_view valueName) {
    std::u16string folded = FoldName(valueName);
    for (RegValue& v : values)
        if (v.name.size() == valueName.size() && FoldName(v.name) == folded) return &v;
    return nullptr;
}

std::u16string FoldName(std::u16string_view name) {
    std::u16string out;
    out.reserve(name.size());
    for (char16_t c : name) {
        // One unit at a time keeps the length, so surrogates stay as they are.
        UChar32 up = (c >= 0xD800 && c <= 0xDFFF) ? c : u_toupper(c);
        out += up <= 0xFFFF ? static_cast<char16_t>(up) : c;
    }
    return out;
}

bool IsStorableName(std::u16string_view name) {
    for (char16_t c : name)
        if (c < 0x20 || c == 0x7F) return false;
    std::string utf8;
    return Utf16ToUtf8(name, utf8);
}

bool ParseRegText(std::string_view text, std::u16string_view rootName, RegNode& root) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string> lines = LogicalLines(text);
    std::size_t i = 0;
    while (i < lines.size() && TrimLeft(lines[i]).empty()) ++i;
    if (i == lines.size() || TrimLeft(lines[i]) != kHeader) return false;
    std::u16string foldedRoot = FoldName(rootName);
    RegNode* current = nullptr;
    for (++i; i < lines.size(); ++i) {
        std::string_view line = TrimLeft(lines[i]);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3 || line[1] == '-') return false;
            std::u16string path;
            if (!Utf8ToUtf16(line.substr(1, line.size() - 2), path)) return false;
            std::size_t sep = path.find(u'\\');
            if (FoldName(path.substr(0, sep)) != foldedRoot) return false;
            current = &root;
            while (sep != std::u16string::npos) {
                std::size_t next = path.find(u'\\', sep + 1);
                std::u16string part =
                    path.substr(sep + 1, next == std::u16string::npos ? next : next - sep - 1);
                if (part.empty() || part.size() > 255 || !IsStorableName(part)) return false;
                current = current->AddChild(part);
                sep = next;
            }
            continue;
        }
        if (!current) return false;
        RegValue value;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else if (line.front() == '"') {
            if (!ReadQuoted(line, value.name) || value.name.empty()) return false;
        } else {
            return false;
        }
        line = TrimLeft(line);
        if (line.empty() || line.front() != '=') return false;
        if (!ReadData(line.substr(1), value)) return false;
        if (RegValue* existing = current->FindValue(value.name))
            *existing = std::move(value);
        else
            current->values.push_back(std::move(value));
    }
    return true;
}

std::string WriteRegText(const RegNode& root, std::u16string_view rootName) {
    std::string out(kHeader);
    out += "\n\n";
    WriteNode(out, root, std::u16string(rootName), true);
    return out;
}

bool Utf8ToUtf16(std::string_view in, std::u16string& out) {
    bool ok = true;
    out = utf::DecodeText(in, false, [&](unsigned char) {
        ok = false;
        return char16_t(utf::kReplacement);
    });
    return ok;
}

bool Utf16ToUtf8(std::u16string_view in, std::string& out) {
    out.clear();
    bool ok = true;
    utf::ForEachCodePoint(in, [&](char32_t cp, bool lone) {
        if (lone)
            ok = false;
        else
            utf::AppendUtf8(out, cp);
    });
    return ok;
}

}  // namespace zv::reg::detail
