#pragma once
// Helpers shared by the dialog tests: a message box that answers from a
// queue and remembers what it was asked, and a temporary folder.

#include <QDir>
#include <QTemporaryDir>
#include <deque>
#include <string>
#include <vector>

#include "shared/MessageBox.h"

namespace zv::test {

struct AskedMessage {
    std::u16string prompt;
    int buttons;
    std::u16string title;
};

class ScriptedMessages final : public MessageBoxService {
  public:
    int Show(const std::u16string& prompt, int buttons, const std::u16string& title) override {
        asked.push_back({prompt, buttons, title});
        if (!answers.empty()) {
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == kOkCancel ? kOk : buttons == kYesNo ? kYes : kOk;
    }
    std::deque<int> answers;
    std::vector<AskedMessage> asked;
};

// A temporary folder whose path never ends in the separator.
class TempFolder {
  public:
    std::u16string Path() const { return dir_.path().toStdU16String(); }
    QString QPath(const QString& relative = {}) const {
        return relative.isEmpty() ? dir_.path() : dir_.filePath(relative);
    }
    bool Has(const QString& relative) const { return QFileInfo(dir_.filePath(relative)).isDir(); }

  private:
    QTemporaryDir dir_;
};

}  // namespace zv::test
