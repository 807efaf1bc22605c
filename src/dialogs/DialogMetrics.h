#pragma once
// The dialogs are laid out in twips (1/1440 inch), like the rest of the
// program's windows; at 96 dots per inch one pixel is 15 twips.

#include <QCheckBox>
#include <QLabel>
#include <QStyle>
#include <QWidget>

namespace zv::dialogs {

inline int Twips(int twips) { return (twips + 7) / 15; }

inline void Place(QWidget* control, int left, int top, int width, int height) {
    control->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

// The boxes were measured for narrower fonts than the ones found on Linux
// desktops: a text that would be cut off gets a smaller font instead, down to
// a size that can still be read.
inline void FitText(QWidget* control) {
    constexpr double kSmallest = 6.0;
    auto* label = qobject_cast<QLabel*>(control);
    // Text of several lines must fit the box; a single line only its width,
    // the box growing around its middle when the line is taller.
    const bool severalLines = label && (label->wordWrap() || label->text().contains(u'\n'));
    auto fits = [&] {
        if (label) {
            const QSize hint = label->sizeHint();
            if (severalLines) {
                const int height = label->wordWrap() ? label->heightForWidth(label->width()) : hint.height();
                return height <= label->height() && (label->wordWrap() || hint.width() <= label->width());
            }
            return hint.width() <= label->width();
        }
        if (auto* check = qobject_cast<QCheckBox*>(control)) {
            const QStyle* style = check->style();
            const int room = check->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, check) -
                             style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, check);
            return check->fontMetrics().horizontalAdvance(check->text()) <= room;
        }
        return true;
    };
    QFont font = control->font();
    while (!fits() && font.pointSizeF() > kSmallest) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        control->setFont(font);
    }
    const int needed = control->fontMetrics().height();
    if (!severalLines && control->height() < needed) {
        QRect box = control->geometry();
        box.setTop(box.top() - (needed - box.height()) / 2);
        box.setHeight(needed);
        control->setGeometry(box);
    }
}

}  // namespace zv::dialogs
