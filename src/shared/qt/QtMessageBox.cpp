#include "QtMessageBox.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

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

// A short prompt makes a narrow box, and the window manager then cuts its
// title ("ファイ…ラー"): the box is made wide enough for the whole title
// beside the frame's icon and buttons.
void KeepTitleReadable(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    QFont font = box.font();
    font.setBold(true);                   // as most window managers draw titles
    constexpr int kFrameAllowance = 140;  // icon and three buttons on the title bar
    const int width = QFontMetrics(font).horizontalAdvance(box.windowTitle()) + kFrameAllowance;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(),
                  0, 1, grid->columnCount());
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
    KeepTitleReadable(box);
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
