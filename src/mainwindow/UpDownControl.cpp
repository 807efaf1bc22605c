#include "UpDownControl.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLabel>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <algorithm>

namespace zv {

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    setFocusPolicy(Qt::StrongFocus);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setIconSize(QSize(7, 5));
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    connect(up_, &QToolButton::clicked, this, &UpDownControl::StepUp);
    connect(down_, &QToolButton::clicked, this, &UpDownControl::StepDown);
}

void UpDownControl::SetRange(int minimum, int maximum) {
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
    SetValue(value_);
}

void UpDownControl::SetValue(int value) {
    const int clamped = std::clamp(value, minimum_, maximum_);
    if (clamped == value_) return;
    value_ = clamped;
    emit ValueChanged(value_);
}

void UpDownControl::SetValueLabel(QLabel* label, const QString& meaning, int lowest, int highest) {
    label_ = label;
    lowest_ = lowest;
    highest_ = highest;
    setAccessibleName(meaning);
    up_->setAccessibleName(meaning + QStringLiteral("を上げる"));
    down_->setAccessibleName(meaning + QStringLiteral("を下げる"));
    ShowValue(label->text());
}

void UpDownControl::ShowValue(const QString& text) {
    if (!label_) return;
    label_->setText(text);
    // Read alone, a bare "1" says nothing: the label tells what it counts.
    label_->setAccessibleName(accessibleName() + QLatin1Char(' ') + text);
    QAccessibleValueChangeEvent changed(this, text.toInt());
    QAccessible::updateAccessibility(&changed);
}

void UpDownControl::StepUp() {
    SetValue(value_ + 1);
    emit UpClick();
}

void UpDownControl::StepDown() {
    SetValue(value_ - 1);
    emit DownClick();
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Plus:
            StepUp();
            return;
        case Qt::Key_Down:
        case Qt::Key_Minus:
            StepDown();
            return;
        case Qt::Key_Home:
            emit Reset();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void UpDownControl::paintEvent(QPaintEvent*) {
    if (!hasFocus()) return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

void UpDownControl::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void UpDownControl::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void UpDownControl::resizeEvent(QResizeEvent*) {
    // One pixel all round stays free for the focus frame.
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    const int upper = inner.height() / 2;
    up_->setGeometry(inner.left(), inner.top(), inner.width(), upper);
    down_->setGeometry(inner.left(), inner.top() + upper, inner.width(), inner.height() - upper);
}

}  // namespace zv
