#pragma once
// Type-ahead for the drive and folder lists: typed characters move to the
// next row whose name starts with them, as in any list, but the name is a
// row's search key (the folder name without its indentation, the drive's
// name without its path) rather than the text it shows.
//
// Characters typed within the keyboard input interval extend the search; a
// pause starts a new one. A new search, or the same character typed again,
// moves past the current row, so pressing "t" repeatedly walks through the
// names starting with t.

#include <QElapsedTimer>
#include <QString>

class QAbstractItemModel;

namespace zv {

class TypeAhead {
  public:
    // Role of a row's search keys: a QString, or a QStringList when several
    // names lead to the row.
    static constexpr int kKeyRole = Qt::UserRole + 1;

    // The row the typed text leads to from `current`, or -1 when no key matches.
    int Next(const QAbstractItemModel& model, int current, const QString& typed);

  private:
    QString search_;
    QElapsedTimer sinceLast_;
};

}  // namespace zv
