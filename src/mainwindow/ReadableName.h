#pragma once
// A file or folder name as the lists show it.
//
// Names that are not valid UTF-8 on disk arrive with each bad byte carried as a
// lone surrogate (U+DC80 + byte). Drawn as they are, those units vanish or
// garble the row, so each is shown as one replacement character; the lists keep
// the real name beside the shown one so it still addresses the right file.

#include <QString>
#include <string>

namespace zv {

inline constexpr char16_t kBadBytePlaceholder = 0xFFFD;

QString ReadableName(const QString& name);

// UTF-16 units moved unchanged between Qt and the file system layer; unlike
// the converting constructors these keep lone surrogates as they are.
inline std::u16string ToU16(const QString& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size()));
}
inline QString FromU16(const std::u16string& s) {
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

}  // namespace zv
