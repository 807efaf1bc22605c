#pragma once
// A stand-alone pair of arrow buttons, stacked, the size of the host layout's
// up-down control. It keeps a value within [minimum, maximum] (stopping at the
// ends) and reports every arrow click, whether or not the value moved.
//
// It is a tab stop of its own: Up or "+" is a click on the up arrow, Down or
// "-" one on the down arrow, and Home asks for the value to be reset (what
// the reset is belongs to the window). The arrows themselves take no focus.
//
// The value the user reads is a label beside it (SetValueLabel); screen
// readers meet the control as a spin box named after what it counts, with
// that label's text as its value.

#include <QWidget>

class QLabel;
class QToolButton;

namespace zv {

class UpDownControl : public QWidget {
    Q_OBJECT
  public:
    explicit UpDownControl(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    void SetValue(int value);
    int Value() const { return value_; }
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

    // The label that shows the value, what the value means ("桁数") and the
    // range the label's value runs through.
    void SetValueLabel(QLabel* label, const QString& meaning, int lowest, int highest);
    QLabel* ValueLabel() const { return label_; }
    int LowestShown() const { return lowest_; }
    int HighestShown() const { return highest_; }
    // Writes the value label and announces the new value.
    void ShowValue(const QString& text);

  public slots:
    void StepUp();
    void StepDown();

  signals:
    void UpClick();
    void DownClick();
    void ValueChanged(int value);
    void Reset();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QToolButton* up_;
    QToolButton* down_;
    QLabel* label_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = 0;
    int lowest_ = 0;
    int highest_ = 100;
};

}  // namespace zv
