// The new-folder dialog on real temporary folders.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "DialogTestSupport.h"
#include "dialogs/Frm_Mkdir.h"
#include "dialogs/HelpWindow.h"
#include "dialogs/QtHelp.h"
#include "shared/FileSystem.h"

namespace zv::dialogs {
namespace {

using test::ScriptedMessages;
using test::TempFolder;

// The main window's folder lists as the dialog sees them; records what it is asked.
class RecordingHost final : public MkdirHost {
  public:
    explicit RecordingHost(std::u16string destination) : destination(std::move(destination)) {}
    std::u16string DestinationFolder() override { return destination; }
    void SetDestinationFolder(const std::u16string& path) override {
        calls.push_back("set");
        destination = path;
    }
    void RefreshDestinationFolders() override { calls.push_back("refresh A_Dir"); }
    void RefreshSourceFolders() override { calls.push_back("refresh F_Dir"); }

    std::u16string destination;
    std::vector<std::string> calls;
};

struct Fixture {
    explicit Fixture(bool trailingSeparator)
        : host(trailingSeparator ? folder.Path() + kPathSeparator : folder.Path()),
          dialog(host, NativeFileSystem(), messages, nullptr) {
        dialog.show();
    }
    void Make(const QString& name) {
        dialog.Txt_NewFolder->setText(name);
        dialog.Cmd_Make->click();
    }
    TempFolder folder;
    RecordingHost host;
    ScriptedMessages messages;
    Frm_Mkdir dialog;
};

// ---- successful creation ------------------------------------------------------

struct CreateCase {
    const char* label;
    bool trailingSeparator;  // a folder that ends in the separator, as a root does
    bool switchDestination;
};

class MkdirCreateTest : public ::testing::TestWithParam<CreateCase> {};

TEST_P(MkdirCreateTest, CreatesBelowDestinationAndRefreshesBothLists) {
    const CreateCase& c = GetParam();
    Fixture f(c.trailingSeparator);
    const std::u16string before = f.host.destination;
    EXPECT_EQ(f.dialog.Label1->text(),
              QString::fromStdU16String(before) + QStringLiteral(" の下に新規フォルダを作成します。"));
    ASSERT_TRUE(f.dialog.Chk_Cd_Nowfolder->isChecked()) << "checked when the dialog opens";
    f.dialog.Chk_Cd_Nowfolder->setChecked(c.switchDestination);

    f.Make(QStringLiteral("データ Data"));

    EXPECT_TRUE(f.folder.Has(QStringLiteral("データ Data")));
    ASSERT_EQ(f.messages.asked.size(), 1u);
    EXPECT_EQ(f.messages.asked[0].prompt, u"データ Dataフォルダを作成します。");
    EXPECT_EQ(f.messages.asked[0].buttons, kOkCancel);
    EXPECT_EQ(f.messages.asked[0].title, u"新規作成");
    if (c.switchDestination) {
        // Exactly one separator between the folder and the new name.
        EXPECT_EQ(f.host.destination, f.folder.Path() + u"/データ Data");
        EXPECT_EQ(f.host.calls, (std::vector<std::string>{"set", "refresh A_Dir", "refresh F_Dir"}));
    } else {
        EXPECT_EQ(f.host.destination, before);
        EXPECT_EQ(f.host.calls, (std::vector<std::string>{"refresh A_Dir", "refresh F_Dir"}));
    }
    EXPECT_EQ(f.dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(f.dialog.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Folders, MkdirCreateTest,
                         ::testing::Values(CreateCase{"RootLikeSwitch", true, true},
                                           CreateCase{"NormalSwitch", false, true},
                                           CreateCase{"NormalKeep", false, false}),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- refused creation ---------------------------------------------------------

struct FailCase {
    const char* label;
    const char* existing;  // folder made before the attempt, or empty
    QString name;
};

class MkdirFailTest : public ::testing::TestWithParam<FailCase> {};

TEST_P(MkdirFailTest, MessageAndTheDialogStaysOpenWithTheName) {
    const FailCase& c = GetParam();
    Fixture f(false);
    if (*c.existing) {
        ASSERT_TRUE(QDir(f.folder.QPath()).mkpath(QString::fromUtf8(c.existing)));
    }
    const std::u16string before = f.host.destination;

    f.Make(c.name);

    ASSERT_EQ(f.messages.asked.size(), 2u);
    EXPECT_EQ(f.messages.asked[1].prompt, u"フォルダの作成に失敗しました。");
    EXPECT_EQ(f.messages.asked[1].buttons, kOkOnly);
    EXPECT_EQ(f.messages.asked[1].title, u"作成エラー");
    EXPECT_TRUE(f.dialog.isVisible());
    EXPECT_EQ(f.dialog.Txt_NewFolder->text(), c.name);
    EXPECT_EQ(f.host.destination, before);
    EXPECT_TRUE(f.host.calls.empty());
    EXPECT_EQ(QDir(f.folder.QPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(),
              *c.existing ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Names, MkdirFailTest,
                         ::testing::Values(FailCase{"Existing", "Data", QStringLiteral("Data")},
                                           FailCase{"ParentName", "", QStringLiteral("..")},
                                           FailCase{"MissingIntermediate", "", QStringLiteral("nope/child")},
                                           // Must not quietly become the folder "ab".
                                           FailCase{"NulCharacter", "",
                                                    QStringLiteral("ab") + QChar(0) + QStringLiteral("cd")}),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- nothing happens ----------------------------------------------------------

TEST(MkdirQuietTest, EmptyNameDoesNothing) {
    Fixture f(false);
    f.Make(QString());
    EXPECT_TRUE(f.messages.asked.empty());
    EXPECT_TRUE(f.host.calls.empty());
    EXPECT_TRUE(f.dialog.isVisible());
}

TEST(MkdirQuietTest, CancelledConfirmationKeepsTheText) {
    Fixture f(false);
    f.messages.answers = {kCancel};
    f.Make(QStringLiteral("Data"));
    EXPECT_EQ(f.messages.asked.size(), 1u);
    EXPECT_FALSE(f.folder.Has(QStringLiteral("Data")));
    EXPECT_EQ(f.dialog.Txt_NewFolder->text(), QStringLiteral("Data"));
    EXPECT_TRUE(f.dialog.isVisible());
    EXPECT_TRUE(f.host.calls.empty());
}

// A Japanese name typed through the input method lands as committed, and a
// screen reader calls the box by its label.
TEST(MkdirInputTest, NameBoxTakesTheInputMethodAndIsNamedByItsLabel) {
    Fixture f(false);
    EXPECT_TRUE(f.dialog.Txt_NewFolder->inputMethodQuery(Qt::ImEnabled).toBool());
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("写真"));
    QApplication::sendEvent(f.dialog.Txt_NewFolder, &commit);
    EXPECT_EQ(f.dialog.Txt_NewFolder->text(), QStringLiteral("写真"));
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(f.dialog.Txt_NewFolder);
    EXPECT_EQ(box->text(QAccessible::Name), QStringLiteral("フォルダ名"));
}

// ---- What's This --------------------------------------------------------------

struct WhatsThisCase {
    const char* control;
    const char* heading;
};

class MkdirWhatsThisTest : public ::testing::TestWithParam<WhatsThisCase> {};

TEST_P(MkdirWhatsThisTest, ControlShowsItsHelpTopic) {
    TempFolder folder;
    RecordingHost host(folder.Path());
    ScriptedMessages messages;
    QtHelp help(QStringLiteral(ZV_TEST_CHM));
    Frm_Mkdir dialog(host, NativeFileSystem(), messages, &help);
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    auto* control = dialog.findChild<QWidget*>(QString::fromUtf8(GetParam().control));
    ASSERT_TRUE(control);
    EXPECT_TRUE(control->whatsThis().contains(QString::fromUtf8(GetParam().heading)))
        << control->whatsThis().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Controls, MkdirWhatsThisTest,
    ::testing::Values(WhatsThisCase{"Txt_NewFolder", "作成するフォルダの名前"},
                      WhatsThisCase{"Chk_Cd_Nowfolder", "保存先のフォルダ一覧が新しいフォルダに変わります"},
                      WhatsThisCase{"Cmd_Make", "作成ボタン"},
                      WhatsThisCase{"Cmd_Cancel", "フォルダを作成しないでダイアログを閉じます"}));

TEST(MkdirWhatsThisNoHelpTest, WithoutHelpFileTheDialogStillWorks) {
    TempFolder folder;
    RecordingHost host(folder.Path());
    ScriptedMessages messages;
    QtHelp help(QStringLiteral("/nonexistent/ZVNUM.chm"));
    Frm_Mkdir dialog(host, NativeFileSystem(), messages, &help);
    EXPECT_TRUE(dialog.Txt_NewFolder->whatsThis().isEmpty());
    dialog.Txt_NewFolder->setText(QStringLiteral("x"));
    dialog.Cmd_Make->click();
    EXPECT_TRUE(folder.Has(QStringLiteral("x")));
}

}  // namespace
}  // namespace zv::dialogs
