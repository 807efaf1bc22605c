#pragma once
// The contents (.hhc) and index (.hhk) files of a help file: HTML lists of
// <object type="text/sitemap"> entries, nested by <ul>.

#include <QString>
#include <vector>

namespace zv::dialogs {

struct SitemapEntry {
    QString name;
    QString local;  // page inside the help file, as written (may be empty)
    std::vector<SitemapEntry> children;
};

// Tolerant of the loose HTML these files are written in: missing </li>,
// unbalanced lists, attributes in any case and quoting.
std::vector<SitemapEntry> ParseSitemap(const QString& html);

// Decodes a help source file: UTF-8 unless it is not valid UTF-8 and names
// another character set in a meta tag (older help files are in Shift-JIS).
QString DecodeHelpText(const QByteArray& bytes);

}  // namespace zv::dialogs
