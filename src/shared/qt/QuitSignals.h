#pragma once
// The system's requests to end the program (on POSIX: SIGTERM at logout or
// shutdown, SIGINT from a terminal) delivered as a plain call on the
// user-interface thread, so the program can end as when its window is closed.

#include <QObject>
#include <functional>

namespace zv::qt {

class QuitSignals final : public QObject {
  public:
    // One at a time, created after the application object.
    explicit QuitSignals(std::function<void()> onQuit, QObject* parent = nullptr);
    ~QuitSignals() override;

  private:
    std::function<void()> onQuit_;
};

}  // namespace zv::qt
