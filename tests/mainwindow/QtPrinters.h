#pragma once
// Readable failure output for Qt strings (and lists of them) in GoogleTest.
#include <QString>
#include <ostream>
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
