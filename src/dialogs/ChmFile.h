#pragma once
// Read access to a compiled help file (CHM) through libchm: its pages and
// pictures, the names of its contents and index files, and the context-id map
// that What's This help uses.

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <string>

struct chmFile;

namespace zv::dialogs {

class ChmFile {
  public:
    // Null when the file is missing or not a CHM.
    static std::unique_ptr<ChmFile> Open(const QString& path);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    // Object path inside the file, from a page-relative or absolute link
    // ("a/../b.htm#x" -> "/b.htm"). Fragments and queries are dropped.
    static QString Normalize(const QString& link);

    bool Contains(const QString& objectPath) const;
    // The object's bytes, or nothing when the file has no such object.
    std::optional<QByteArray> Read(const QString& objectPath) const;

    // From the file's system record; object paths start with "/".
    QString ContentsFile() const { return contents_; }
    QString IndexFile() const { return index_; }
    QString DefaultTopic() const { return defaultTopic_; }
    QString Title() const { return title_; }

    // The page of a context id (from the [MAP]/[ALIAS] sections), or nothing.
    std::optional<QString> TopicForContextId(quint32 id) const;

  private:
    explicit ChmFile(chmFile* handle);
    void ReadSystemRecord();
    // Some compilers store the alias targets with the folder they were
    // compiled in; the longest tail that names an object of the file is the page.
    std::optional<QString> ResolveStoredPath(const QString& stored) const;

    chmFile* handle_;
    QString contents_, index_, defaultTopic_, title_;
};

}  // namespace zv::dialogs
