// ZVNUM: the batch renamer.

#include <QApplication>
#include <QDir>

#include "Frm_Main.h"
#include "shared/FileSystem.h"
#include "shared/qt/JapaneseUi.h"
#include "shared/qt/QtEventPump.h"
#include "shared/qt/QtMessageBox.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    zv::qt::SetUpJapaneseUi(app);

    zv::qt::QtMessageBox messages;
    zv::qt::QtEventPump events;
    zv::Frm_Main window({messages, events, zv::SystemClock(), zv::NativeFileSystem()}, QDir::currentPath());
    messages.SetParent(&window);
    window.show();
    return app.exec();
}
