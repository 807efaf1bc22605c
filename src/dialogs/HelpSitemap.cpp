#include "HelpSitemap.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <optional>

namespace zv::dialogs {

namespace {

QString DecodeEntities(QString text) {
    static const QRegularExpression entity(QStringLiteral("&(#x[0-9a-fA-F]+|#[0-9]+|[a-zA-Z]+);"));
    QString out;
    qsizetype last = 0;
    auto it = entity.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        const QString name = m.captured(1);
        bool ok = false;
        uint code = 0;
        if (name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive))
            code = name.mid(2).toUInt(&ok, 16);
        else if (name.startsWith(u'#'))
            code = name.mid(1).toUInt(&ok, 10);
        if (ok && code > 0 && code <= 0x10FFFF) {
            out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        } else if (name == QLatin1String("amp")) {
            out += u'&';
        } else if (name == QLatin1String("lt")) {
            out += u'<';
        } else if (name == QLatin1String("gt")) {
            out += u'>';
        } else if (name == QLatin1String("quot")) {
            out += u'"';
        } else if (name == QLatin1String("apos")) {
            out += u'\'';
        } else if (name == QLatin1String("nbsp")) {
            out += QChar(0xA0);
        } else {
            out += m.captured(0);
        }
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

QString Attribute(const QString& attributes, const QString& name) {
    const QRegularExpression re(QStringLiteral("\\b%1\\s*=\\s*(\"([^\"]*)\"|'([^']*)'|([^\\s>]+))").arg(name),
                                QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(attributes);
    if (!m.hasMatch()) return {};
    for (int group : {2, 3, 4})
        if (m.capturedStart(group) >= 0) return DecodeEntities(m.captured(group));
    return {};
}

}  // namespace

std::vector<SitemapEntry> ParseSitemap(const QString& html) {
    static const QRegularExpression tag(QStringLiteral("<(/?)([a-zA-Z]+)([^>]*)>"));
    std::vector<SitemapEntry> root;
    // The lists being filled; a <ul> opens the children of the entry before it.
    std::vector<std::vector<SitemapEntry>*> lists{&root};
    std::optional<SitemapEntry> current;
    bool inSitemapObject = false;
    int listDepth = 0;

    auto it = tag.globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        const QString attributes = m.captured(3);
        if (name == QLatin1String("ul")) {
            if (!closing) {
                ++listDepth;
                // The first list holds the top entries; every further one
                // belongs to the last entry of the list around it.
                if (listDepth > 1) {
                    auto* outer = lists.back();
                    if (outer->empty()) outer->push_back(SitemapEntry{});
                    lists.push_back(&outer->back().children);
                }
            } else if (listDepth > 0) {
                if (listDepth > 1 && lists.size() > 1) lists.pop_back();
                --listDepth;
            }
        } else if (name == QLatin1String("object")) {
            if (!closing) {
                inSitemapObject = Attribute(attributes, QStringLiteral("type"))
                                      .compare(u"text/sitemap", Qt::CaseInsensitive) == 0;
                if (inSitemapObject) current.emplace();
            } else if (inSitemapObject) {
                inSitemapObject = false;
                if (current && !(current->name.isEmpty() && current->local.isEmpty()))
                    lists.back()->push_back(std::move(*current));
                current.reset();
            }
        } else if (name == QLatin1String("param") && inSitemapObject && current) {
            const QString key = Attribute(attributes, QStringLiteral("name")).toLower();
            const QString value = Attribute(attributes, QStringLiteral("value"));
            // An index entry may name several pages; the first one is shown.
            if (key == QLatin1String("name") && current->name.isEmpty()) current->name = value;
            if (key == QLatin1String("local") && current->local.isEmpty()) current->local = value;
        }
    }
    return root;
}

QString DecodeHelpText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder byMeta = QStringDecoder::decoderForHtml(bytes);
    if (byMeta.isValid()) return byMeta.decode(bytes);
    QStringDecoder sjis("Shift_JIS");
    if (sjis.isValid()) return sjis.decode(bytes);
    return QString::fromUtf8(bytes);
}

}  // namespace zv::dialogs
