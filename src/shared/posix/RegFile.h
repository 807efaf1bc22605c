#pragma once
// One root key of the POSIX registry held in memory, and its text form: the
// ".reg" format of the Windows registry editor (version 5.00), in UTF-8.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Zorvik]
//   "PATH"="C:\\Photos"
//   @="default value"
//   "count"=dword:0000002a
//   "raw"=hex(7):41,00,00,00,00,00
//
// Texts that the quoted form cannot carry (line breaks, missing terminator)
// are written as hex(1) so that every value survives a rewrite exactly.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zv::reg::detail {

struct RegValue {
    std::u16string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

struct RegNode {
    std::u16string name;  // as created
    std::vector<RegValue> values;
    // Keyed by the folded name, so the order is the enumeration order.
    std::map<std::u16string, std::unique_ptr<RegNode>> children;

    RegNode* Child(std::u16string_view name) const;
    // The child, created with this spelling when missing.
    RegNode* AddChild(std::u16string_view name, bool* created = nullptr);
    RegValue* FindValue(std::u16string_view name);
};

// Case-insensitive form of a name (each character upper-cased on its own, as
// Windows compares registry names).
std::u16string FoldName(std::u16string_view name);

// Whether a key name part or value name can be stored and read back unchanged.
bool IsStorableName(std::u16string_view name);

// Reads the text of one root's file into root (which must be empty). False
// when the text is damaged: missing header, a line that is not a section, a
// value or a comment, a section of another root, or broken quoting or data.
bool ParseRegText(std::string_view text, std::u16string_view rootName, RegNode& root);

std::string WriteRegText(const RegNode& root, std::u16string_view rootName);

// UTF-8 <-> UTF-16, strict: false on malformed input or lone surrogates.
bool Utf8ToUtf16(std::string_view in, std::u16string& out);
bool Utf16ToUtf8(std::u16string_view in, std::string& out);

}  // namespace zv::reg::detail
