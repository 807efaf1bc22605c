#pragma once
// The dialogs are laid out in twips (1/1440 inch), like the rest of the
// program's windows; at 96 dots per inch one pixel is 15 twips.

#include <QWidget>

namespace zv::dialogs {

inline int Twips(int twips) { return (twips + 7) / 15; }

inline void Place(QWidget* control, int left, int top, int width, int height) {
    control->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

}  // namespace zv::dialogs
