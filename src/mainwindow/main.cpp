// ZVNUM: the batch renamer.

#include <QApplication>

#include "Frm_Main.h"
#include "SingleInstance.h"
#include "shared/FileSystem.h"
#include "shared/JournalStore.h"
#include "shared/qt/JapaneseUi.h"
#include "shared/qt/QtEventPump.h"
#include "shared/qt/QtMessageBox.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    zv::qt::SetUpJapaneseUi(app);
    zv::qt::QtMessageBox messages;

    // Before anything is read: a second instance neither reads nor writes the settings.
    zv::SingleInstance instance(QStringLiteral("ZVNUM"));
    if (!instance.Acquire()) {
        messages.Show(u"Zorvikはすでに起動されています。", zv::kOkOnly, u"Zorvik");
        return 0;
    }

    zv::qt::QtEventPump events;
    const QString programFolder = zv::Frm_Main::ProgramFolder();
    zv::Frm_Main window(
        {messages, events, zv::SystemClock(), zv::NativeFileSystem(), nullptr, &zv::NativeJournalStore()},
        programFolder);
    messages.SetParent(&window);
    window.Form_Load(programFolder);
    window.show();
    return app.exec();
}
