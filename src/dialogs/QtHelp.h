#pragma once
// The help service of ZVNUM: one help window, made on first use and reused
// while it is open, closed by the main window when the program ends.

#include <QPointer>
#include <QString>
#include <memory>

#include "ChmFile.h"
#include "HelpWindow.h"
#include "shared/Help.h"

namespace zv::dialogs {

class QtHelp final : public HelpService {
  public:
    explicit QtHelp(QString chmPath) : chmPath_(std::move(chmPath)) {}
    ~QtHelp() override;

    void ShowContents() override;
    bool ShowTopic(int contextId) override;
    std::u16string TopicText(int contextId) override;
    void Close() override;

    // The open help window, or null.
    HelpWindow* Window() const { return window_; }
    const QString& ChmPath() const { return chmPath_; }

  private:
    HelpWindow* EnsureWindow();

    QString chmPath_;
    QPointer<HelpWindow> window_;
    std::unique_ptr<ChmFile> topics_;  // for What's This texts, opened once
};

}  // namespace zv::dialogs
