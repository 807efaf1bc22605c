#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "mainwindow/FilePattern.h"

namespace zv {
namespace {

struct MatchCase {
    const char16_t* pattern;
    const char16_t* name;
    bool listed;
};

class FilePatternMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(FilePatternMatch, ListsExactlyTheMatchingNames) {
    const MatchCase& c = GetParam();
    EXPECT_EQ(FilePattern(QString::fromUtf16(c.pattern)).Matches(QString::fromUtf16(c.name)), c.listed)
        << QString::fromUtf16(c.pattern).toStdString() << " / " << QString::fromUtf16(c.name).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Wildcards, FilePatternMatch,
                         ::testing::Values(
                             // "*.*" is every file, with or without an extension.
                             MatchCase{u"*.*", u"README", true}, MatchCase{u"a.*", u"a", true},
                             MatchCase{u"a.*", u"ab", false},
                             // Case is ignored both ways, beyond ASCII too.
                             MatchCase{u"*.txt", u"A.TXT", true}, MatchCase{u"Ä*", u"äpfel", true},
                             // "*" is anchored at both ends.
                             MatchCase{u"*.txt", u"a.txt.bak", false}, MatchCase{u"a*b*c", u"aXcYb", false},
                             MatchCase{u"*ab*", u"aab", true},  // needs a step back after a false start
                             // "?" is exactly one character, a surrogate pair counting as one.
                             MatchCase{u"?.txt", u"ab.txt", false}, MatchCase{u"??.txt", u"a.txt", false},
                             MatchCase{u"?", u"\U0002000B", true}, MatchCase{u"??", u"\U0002000B", false},
                             MatchCase{u"?.txt", u"\xDCFF.txt", true},
                             // ";" separates; any one wildcard is enough.
                             MatchCase{u"*.BMP;*.JPG", u"x.jpg", true},
                             MatchCase{u"*.BMP;*.JPG", u"x.gif", false}, MatchCase{u"*.txt;", u"a.txt", true},
                             // The full-width "；" is part of the wildcard, not a separator.
                             MatchCase{u"*.txt；*.jpg", u"a.txt", false},
                             MatchCase{u"*.txt；*.jpg", u"a.txt；b.jpg", true},
                             // Nothing is trimmed.
                             MatchCase{u"*.txt ", u"a.txt", false}, MatchCase{u"", u"a", false}));

}  // namespace
}  // namespace zv
