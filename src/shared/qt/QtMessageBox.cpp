#include "QtMessageBox.h"

#include <QMessageBox>

#include "QtStrings.h"

namespace zv::qt {

namespace {

struct AnsweringState {
    bool on = false;
    std::deque<int> answers;
    std::vector<ShownMessage> shown;
};

AnsweringState& State() {
    static AnsweringState state;
    return state;
}

int CautiousAnswer(int buttons) {
    switch (buttons) {
        case kOkCancel:
            return kCancel;
        case kYesNo:
            return kNo;
        default:
            return kOk;
    }
}

}  // namespace

int QtMessageBox::Show(const std::u16string& prompt, int buttons, const std::u16string& title) {
    AnsweringState& state = State();
    if (state.on) {
        state.shown.push_back({prompt, buttons, title});
        if (state.answers.empty()) return CautiousAnswer(buttons);
        const int answer = state.answers.front();
        state.answers.pop_front();
        return answer;
    }

    QMessageBox box(parent_);
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(ToQString(title));
    box.setText(ToQString(prompt));
    box.setTextFormat(Qt::PlainText);
    switch (buttons) {
        case kOkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case kYesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Cancel:
            return kCancel;
        case QMessageBox::Yes:
            return kYes;
        case QMessageBox::No:
            return kNo;
        case QMessageBox::Ok:
            return kOk;
        default:
            // Closed by the window manager: the same as the escape button.
            return CautiousAnswer(buttons);
    }
}

void QtMessageBox::SetAnswering(bool on) {
    State().on = on;
    if (!on) State().answers.clear();
}

void QtMessageBox::PresetAnswers(std::vector<int> answers) {
    State().answers.assign(answers.begin(), answers.end());
}

const std::vector<ShownMessage>& QtMessageBox::Shown() { return State().shown; }

void QtMessageBox::ClearShown() { State().shown.clear(); }

}  // namespace zv::qt
