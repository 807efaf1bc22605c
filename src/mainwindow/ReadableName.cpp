#include "ReadableName.h"

namespace zv {

QString ReadableName(const QString& name) {
    QString out;
    qsizetype i = 0;
    const qsizetype n = name.size();
    // Most names hold no surrogate at all: hand them back shared, uncopied.
    while (i < n && !name.at(i).isSurrogate()) ++i;
    if (i == n) return name;
    out.reserve(n);
    out.append(QStringView(name).left(i));
    for (; i < n; ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < n && name.at(i + 1).isLowSurrogate()) {
            out.append(c);
            out.append(name.at(++i));
        } else if (c.isSurrogate()) {
            out.append(QChar(kBadBytePlaceholder));
        } else {
            out.append(c);
        }
    }
    return out;
}

}  // namespace zv
