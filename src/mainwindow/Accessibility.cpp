#include "Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>

#include "UpDownControl.h"

namespace zv {

namespace {

// A spin box to screen readers: its name says what it counts, its value is
// the label the user reads.
class UpDownAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit UpDownAccessible(UpDownControl* control) : QAccessibleWidget(control, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return Label() ? Label()->text() : QString::number(Control()->Value());
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return text(QAccessible::Value).toInt(); }
    void setCurrentValue(const QVariant&) override {}  // changed by its arrows only
    QVariant maximumValue() const override { return Control()->HighestShown(); }
    QVariant minimumValue() const override { return Control()->LowestShown(); }
    QVariant minimumStepSize() const override { return 1; }

  private:
    UpDownControl* Control() const { return static_cast<UpDownControl*>(widget()); }
    QLabel* Label() const { return Control()->ValueLabel(); }
};

// A drive list, known by its own name. Qt's interface for combo boxes
// gives, on X11, the current text as the name and leaves the label to a
// relation; the drive lists have no label, so both would be known by the
// same drive.
class NamedComboAccessible final : public QAccessibleWidget {
  public:
    explicit NamedComboAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return Combo()->currentText();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction())
            Combo()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

  private:
    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    if (className == QLatin1String("zv::UpDownControl"))
        return new UpDownAccessible(static_cast<UpDownControl*>(object));
    if (className == QLatin1String("zv::DriveListBox"))
        return new NamedComboAccessible(static_cast<QComboBox*>(object));
    if (className == QLatin1String("zv::Frm_Main"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    static const bool installed = (QAccessible::installFactory(Factory), true);
    Q_UNUSED(installed);
}

}  // namespace zv
