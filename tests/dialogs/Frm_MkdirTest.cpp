// The new-folder dialog on real temporary folders.
#include <gtest/gtest.h>

#include <QtWidgets>

#include "FakeMessageBox.h"
#include "dialogs/Frm_Mkdir.h"
#include "dialogs/QtHelp.h"

namespace zv::dialogs {
namespace {

// The dialog over a temporary folder, standing in for the main window's
// folder lists and recording what it is asked.
struct Fixture final : MkdirHost {
    explicit Fixture(HelpService* help = nullptr)
        : destination(folder.path().toStdU16String()), dialog(*this, NativeFileSystem(), messages, help) {}
    std::u16string DestinationFolder() override { return destination; }
    void SetDestinationFolder(const std::u16string& path) override { calls += "set ", destination = path; }
    void RefreshDestinationFolders() override { calls += "A_Dir "; }
    void RefreshSourceFolders() override { calls += "F_Dir "; }

    QTemporaryDir folder;  // its path never ends in the separator
    std::u16string destination;
    std::string calls;
    zvtest::FakeMessageBox messages;
    Frm_Mkdir dialog;
};

TEST(Mkdir, MakesTheFolderOrSaysWhyWithTheDialogLeftOpen) {
    // The row's label, whether the dialog is to switch to the new folder, the name, the answer to the
    // confirmation, whether the folder is made and the calls to the main window. A folder that ends in the
    // separator, as a root folder does, is JoinPath's case: the help file's paths check it.
    const std::tuple<const char*, bool, QString, int, bool, const char*> cases[] = {
        {"Switch", true, QStringLiteral("データ Data"), kOk, true, "set A_Dir F_Dir "},
        {"Keep", false, QStringLiteral("データ Data"), kOk, true, "A_Dir F_Dir "},
        {"ParentName", true, QStringLiteral(".."), kOk, false, ""},
        {"Cancelled", true, QStringLiteral("Data"), kCancel, false, ""},
        {"EmptyName", true, QString(), kOk, false, ""}};
    for (const auto& [label, switchDestination, name, answer, created, calls] : cases) {
        SCOPED_TRACE(label);
        Fixture f;
        f.dialog.show();
        const std::u16string before = f.destination;
        EXPECT_EQ(f.dialog.Label1->text().toStdU16String(), before + u" の下に新規フォルダを作成します。");
        EXPECT_TRUE(f.dialog.Chk_Cd_Nowfolder->isChecked());  // checked when the dialog opens
        f.dialog.Chk_Cd_Nowfolder->setChecked(switchDestination);
        f.messages.answer = answer;
        f.dialog.Txt_NewFolder->setText(name);
        f.dialog.Cmd_Make->click();

        std::vector<zvtest::FakeMessageBox::Shown> asked;
        if (!name.isEmpty())
            asked.push_back({name.toStdU16String() + u"フォルダを作成します。", kOkCancel, u"新規作成"});
        if (!name.isEmpty() && !created && answer == kOk)
            asked.push_back({u"フォルダの作成に失敗しました。", kOkOnly, u"作成エラー"});
        EXPECT_EQ(f.messages.shown, asked);
        EXPECT_EQ(f.calls, calls);
        // Exactly one separator between the folder and the new name.
        const std::u16string made = f.folder.path().toStdU16String() + kPathSeparator + name.toStdU16String();
        EXPECT_EQ(f.destination, created && switchDestination ? made : before);
        EXPECT_TRUE(!created || QFileInfo(QString::fromStdU16String(made)).isDir());
        EXPECT_EQ(f.dialog.isVisible(), !created);
    }
}

// Each control shows its help topic; a Japanese name typed through the input
// method lands as committed, and a screen reader calls the box by its label.
// Without a help file there are no texts.
TEST(Mkdir, ControlsShowTheirHelpTopicAndTakeJapanese) {
    QtHelp help(QStringLiteral(ZV_TEST_CHM));
    Fixture f(&help);
    EXPECT_TRUE(f.dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    for (const auto& [control, heading] :
         {std::pair{"Txt_NewFolder", "作成するフォルダの名前"},
          std::pair{"Chk_Cd_Nowfolder", "保存先のフォルダ一覧が新しいフォルダに変わります"},
          std::pair{"Cmd_Make", "作成ボタン"},
          std::pair{"Cmd_Cancel", "フォルダを作成しないでダイアログを閉じます"}}) {
        const QString text = f.dialog.findChild<QWidget*>(control)->whatsThis();
        EXPECT_TRUE(text.contains(QString::fromUtf8(heading))) << control << text.toStdString();
    }
    EXPECT_TRUE(f.dialog.Txt_NewFolder->inputMethodQuery(Qt::ImEnabled).toBool());
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("写真"));
    QApplication::sendEvent(f.dialog.Txt_NewFolder, &commit);
    EXPECT_EQ(f.dialog.Txt_NewFolder->text(), QStringLiteral("写真"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(f.dialog.Txt_NewFolder)->text(QAccessible::Name),
              QStringLiteral("フォルダ名"));

    QtHelp missing(QStringLiteral("/nonexistent/ZVNUM.chm"));
    Fixture g(&missing);
    EXPECT_TRUE(g.dialog.Txt_NewFolder->whatsThis().isEmpty());
}

}  // namespace
}  // namespace zv::dialogs
