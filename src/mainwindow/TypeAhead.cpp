#include "TypeAhead.h"

#include <QAbstractItemModel>
#include <QApplication>

namespace zv {

namespace {

bool KeyStartsWith(const QVariant& keys, const QString& search) {
    for (const QString& key : keys.toStringList()) {
        if (key.startsWith(search, Qt::CaseInsensitive)) return true;
    }
    return false;
}

}  // namespace

int TypeAhead::Next(const QAbstractItemModel& model, int current, const QString& typed) {
    if (typed.isEmpty()) return -1;
    const bool fresh = !sinceLast_.isValid() || sinceLast_.elapsed() > QApplication::keyboardInputInterval();
    sinceLast_.start();
    search_ = fresh ? typed : search_ + typed;

    // "ttt" is a walk through the t's, not a search for "ttt".
    QString search = search_;
    const bool sameKey = search.size() > 1 && search.count(search.at(0)) == search.size();
    if (sameKey) search = search.left(1);

    const int rows = model.rowCount();
    if (rows == 0) return -1;
    const int from = current < 0 ? 0 : (fresh || sameKey ? current + 1 : current);
    for (int i = 0; i < rows; ++i) {
        const int row = (from + i) % rows;
        if (KeyStartsWith(model.index(row, 0).data(kKeyRole), search)) return row;
    }
    return -1;
}

}  // namespace zv
