#include "FilePattern.h"

#include <QStringList>

namespace zv {

std::vector<char32_t> FoldedCodePoints(const QString& text) {
    const QString folded = text.toCaseFolded();
    std::vector<char32_t> out;
    out.reserve(static_cast<size_t>(folded.size()));
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const QChar c = folded.at(i);
        if (c.isHighSurrogate() && i + 1 < folded.size() && folded.at(i + 1).isLowSurrogate()) {
            out.push_back(QChar::surrogateToUcs4(c, folded.at(i + 1)));
            ++i;
        } else {
            out.push_back(c.unicode());
        }
    }
    return out;
}

FilePattern::FilePattern(const QString& text) : text_(text) {
    for (const QString& piece : text.split(QLatin1Char(';'))) {
        if (piece == QLatin1String("*") || piece == QLatin1String("*.*")) matchesAll_ = true;
        wildcards_.push_back(FoldedCodePoints(piece));
        if (piece.size() >= 2 && piece.endsWith(QLatin1String(".*"))) {
            bareForms_.push_back(FoldedCodePoints(piece.left(piece.size() - 2)));
        }
    }
}

bool FilePattern::Matches(const QString& name) const {
    if (matchesAll_) return true;
    const std::vector<char32_t> folded = FoldedCodePoints(name);
    for (const Wildcard& w : wildcards_) {
        if (MatchOne(w, folded)) return true;
    }
    for (const Wildcard& w : bareForms_) {
        if (MatchOne(w, folded)) return true;
    }
    return false;
}

// Greedy matching that backtracks only to the last "*": linear for the usual
// patterns and never worse than wildcard length times name length.
bool FilePattern::MatchOne(const Wildcard& wild, const std::vector<char32_t>& name) {
    size_t w = 0, n = 0;
    const size_t npos = static_cast<size_t>(-1);
    size_t starW = npos, starN = 0;
    while (n < name.size()) {
        if (w < wild.size() && (wild[w] == U'?' || (wild[w] != U'*' && wild[w] == name[n]))) {
            ++w;
            ++n;
        } else if (w < wild.size() && wild[w] == U'*') {
            starW = w++;
            starN = n;
        } else if (starW != npos) {
            w = starW + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (w < wild.size() && wild[w] == U'*') ++w;
    return w == wild.size();
}

}  // namespace zv
