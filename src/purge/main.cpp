// ZVPURGE: removes the settings ZVNUM keeps in the registry.

#include <QApplication>

#include "purge/Frm_Main.h"
#include "shared/qt/JapaneseUi.h"
#include "shared/qt/QtMessageBox.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZVPURGE"));
    QApplication::setApplicationVersion(QStringLiteral(ZVPURGE_VERSION_TEXT));
    zv::qt::SetUpJapaneseUi(app);

    zv::qt::QtMessageBox messages;
    zv::purge::Frm_Main window(messages);
    messages.SetParent(&window);
    window.show();
    return app.exec();
}
