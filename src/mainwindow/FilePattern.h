#pragma once
// The file list's pattern: wildcards separated by ";" ("*.BMP;*.JPG"), "*" for
// any run of characters, "?" for exactly one, case ignored. A name is listed
// when one of the wildcards matches it.
//
// Only the half-width ";" separates: a full-width "；" is an ordinary character
// of a wildcard, and no wildcard is trimmed, so " *.txt" wants a leading space.

#include <QString>
#include <vector>

namespace zv {

class FilePattern {
  public:
    FilePattern() = default;
    explicit FilePattern(const QString& text);

    const QString& Text() const { return text_; }
    bool Matches(const QString& name) const;
    // True when every name matches ("*", "*.*"): the list skips the matching.
    bool MatchesAll() const { return matchesAll_; }

  private:
    // One wildcard, case-folded and split into code points so "?" takes a whole
    // character, surrogate pairs included.
    using Wildcard = std::vector<char32_t>;
    static bool MatchOne(const Wildcard& wild, const std::vector<char32_t>& name);

    QString text_;
    bool matchesAll_ = false;
    std::vector<Wildcard> wildcards_;
    // A wildcard ending in ".*" also matches without that ending, so "*.*"
    // lists every file, extension or not, as users of this program expect;
    // each such wildcard's shortened form is kept here.
    std::vector<Wildcard> bareForms_;
};

// Code points of a case-folded text; lone surrogates stay single units.
std::vector<char32_t> FoldedCodePoints(const QString& text);

}  // namespace zv
