#pragma once
// ZVPURGE's one window: a line of explanation, 実行 and ｷｬﾝｾﾙ.

#include <QWidget>

#include "purge/SettingsRemover.h"

class QLabel;
class QPushButton;

namespace zv::purge {

class Frm_Main : public QWidget {
    Q_OBJECT
  public:
    explicit Frm_Main(MessageBoxService& messages, QWidget* parent = nullptr);

    // Designed size of the client area, in twips (1/1440 inch).
    static constexpr int kWidthTwips = 4740;
    static constexpr int kHeightTwips = 930;

    QLabel* Label1 = nullptr;
    QPushButton* Cmd_Exec = nullptr;
    QPushButton* Cmd_Cancel = nullptr;

    // What the last 実行 ended with.
    SettingsRemover::Outcome LastOutcome() const { return lastOutcome_; }

    // Pixels for a measure in twips on this screen.
    int ToPixels(int twips) const;

  private slots:
    void Cmd_Exec_Click();
    void Cmd_Cancel_Click();

  private:
    SettingsRemover remover_;
    SettingsRemover::Outcome lastOutcome_ = SettingsRemover::Outcome::Declined;
    double dpi_ = 96.0;
};

}  // namespace zv::purge
