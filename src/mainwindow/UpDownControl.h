#pragma once
// A stand-alone pair of arrow buttons, stacked, the size of the host layout's
// up-down control. It keeps a value within [minimum, maximum] (stopping at the
// ends) and reports every arrow click, whether or not the value moved.

#include <QWidget>

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

  public slots:
    void StepUp();
    void StepDown();

  signals:
    void UpClick();
    void DownClick();
    void ValueChanged(int value);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QToolButton* up_;
    QToolButton* down_;
    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = 0;
};

}  // namespace zv
