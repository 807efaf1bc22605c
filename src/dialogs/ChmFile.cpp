#include "ChmFile.h"

#include <chm_lib.h>

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace zv::dialogs {

namespace {

quint32 ReadLe32(const QByteArray& data, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData()) + at;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 ReadLe16(const QByteArray& data, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData()) + at;
    return quint16(p[0] | p[1] << 8);
}

// A text field of a record: up to its first NUL.
QString FieldText(const QByteArray& data, qsizetype at, qsizetype length) {
    QByteArray field = data.mid(at, length);
    const qsizetype nul = field.indexOf('\0');
    if (nul >= 0) field.truncate(nul);
    return QString::fromUtf8(field);
}

QString AsObjectPath(const QString& name) {
    if (name.isEmpty()) return {};
    return ChmFile::Normalize(name);
}

}  // namespace

std::unique_ptr<ChmFile> ChmFile::Open(const QString& path) {
    // libchm opens whatever it is given; make sure it is a readable file first
    // so a folder or a missing file gives a clean "no".
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) return nullptr;
    probe.close();
    chmFile* handle = chm_open(QFile::encodeName(path).constData());
    if (!handle) return nullptr;
    std::unique_ptr<ChmFile> file(new ChmFile(handle));
    file->ReadSystemRecord();
    return file;
}

ChmFile::ChmFile(chmFile* handle) : handle_(handle) {}

ChmFile::~ChmFile() { chm_close(handle_); }

QString ChmFile::Normalize(const QString& link) {
    QString path = link;
    const qsizetype cut = path.indexOf(QRegularExpression(QStringLiteral("[#?]")));
    if (cut >= 0) path.truncate(cut);
    path.replace(u'\\', u'/');
    QStringList parts;
    for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".")) continue;
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty()) parts.removeLast();
            continue;
        }
        parts << part;
    }
    return u'/' + parts.join(u'/');
}

bool ChmFile::Contains(const QString& objectPath) const {
    chmUnitInfo info;
    return chm_resolve_object(handle_, objectPath.toUtf8().constData(), &info) == CHM_RESOLVE_SUCCESS;
}

std::optional<QByteArray> ChmFile::Read(const QString& objectPath) const {
    chmUnitInfo info;
    if (chm_resolve_object(handle_, objectPath.toUtf8().constData(), &info) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    // A damaged file may claim any length; nothing in a help file comes near 64 MiB.
    if (info.length > (64u << 20)) return std::nullopt;
    QByteArray data(qsizetype(info.length), Qt::Uninitialized);
    if (info.length == 0) return data;
    const LONGINT64 got =
        chm_retrieve_object(handle_, &info, reinterpret_cast<unsigned char*>(data.data()), 0, info.length);
    if (got != LONGINT64(info.length)) return std::nullopt;
    return data;
}

void ChmFile::ReadSystemRecord() {
    const auto system = Read(QStringLiteral("/#SYSTEM"));
    if (!system) return;
    const QByteArray& data = *system;
    qsizetype at = 4;  // version
    while (at + 4 <= data.size()) {
        const quint16 code = ReadLe16(data, at);
        const quint16 length = ReadLe16(data, at + 2);
        at += 4;
        if (at + length > data.size()) break;
        switch (code) {
            case 0:
                contents_ = AsObjectPath(FieldText(data, at, length));
                break;
            case 1:
                index_ = AsObjectPath(FieldText(data, at, length));
                break;
            case 2:
                defaultTopic_ = AsObjectPath(FieldText(data, at, length));
                break;
            case 3:
                title_ = FieldText(data, at, length);
                break;
            default:
                break;
        }
        at += length;
    }
}

std::optional<QString> ChmFile::TopicForContextId(quint32 id) const {
    const auto map = Read(QStringLiteral("/#IVB"));
    const auto strings = Read(QStringLiteral("/#STRINGS"));
    if (!map || !strings || map->size() < 4) return std::nullopt;
    const qsizetype end = std::min<qsizetype>(map->size(), 4 + qsizetype(ReadLe32(*map, 0)));
    for (qsizetype at = 4; at + 8 <= end; at += 8) {
        if (ReadLe32(*map, at) != id) continue;
        const qsizetype offset = ReadLe32(*map, at + 4);
        if (offset >= strings->size()) return std::nullopt;
        return ResolveStoredPath(FieldText(*strings, offset, strings->size() - offset));
    }
    return std::nullopt;
}

std::optional<QString> ChmFile::ResolveStoredPath(const QString& stored) const {
    const QStringList parts = Normalize(stored).split(u'/', Qt::SkipEmptyParts);
    for (qsizetype first = 0; first < parts.size(); ++first) {
        const QString candidate = u'/' + parts.mid(first).join(u'/');
        if (Contains(candidate)) return candidate;
    }
    return std::nullopt;
}

}  // namespace zv::dialogs
