#pragma once
// The MIDI player: plays the previewed file as soon as it opens, with a
// button that starts again from the beginning and one that stops.

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "viewers/MidiSequencer.h"

namespace zv {
class AudioOutput;
class MessageBoxService;
}  // namespace zv

class Frm_PlaySound : public QDialog {
    Q_OBJECT
  public:
    Frm_PlaySound(zv::MessageBoxService& messages, zv::AudioOutput& output, QWidget* parent = nullptr,
                  std::string soundFont = zv::MidiSequencer::DefaultSoundFont());
    ~Frm_PlaySound() override;

    // Opens Valiable::PreviewFilePath and starts playing it.
    void Form_Load();
    void Cmd_Play_Click();
    void Cmd_Stop_Click();
    // Stops and releases the file; closing the window always runs it.
    void Form_Unload();

    // Loads (once) and shows the window modally, centred on the screen.
    int exec() override;
    void done(int result) override;

    const zv::MidiSequencer& Sequencer() const { return sequencer_; }

    QPushButton* Cmd_Play;
    QPushButton* Cmd_Stop;
    QLabel* Lbl_PlayFIle;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void ShowFailure();

    zv::MessageBoxService& messages_;
    zv::MidiSequencer sequencer_;
    bool loaded_ = false;
};
