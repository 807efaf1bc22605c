#include "Frm_Mkdir.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWhatsThisClickedEvent>
#include <exception>

#include "DialogMetrics.h"

namespace zv::dialogs {

Frm_Mkdir::Frm_Mkdir(MkdirHost& host, FileSystem& fileSystem, MessageBoxService& messages, HelpService* help,
                     QWidget* parent)
    : QDialog(parent), host_(host), fileSystem_(fileSystem), messages_(messages), help_(help) {
    setObjectName(QStringLiteral("Frm_Mkdir"));
    setWindowTitle(QStringLiteral("フォルダの作成"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowContextHelpButtonHint);
    setFixedSize(Twips(4680), Twips(1890));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStyleSheet(QStringLiteral("color: blue;"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(Label1, 60, 60, 4515, 555);

    Label2 = new QLabel(QStringLiteral("フォルダ名"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Place(Label2, 60, 720, 855, 195);

    Txt_NewFolder = new QLineEdit(this);
    Txt_NewFolder->setObjectName(QStringLiteral("Txt_NewFolder"));
    Place(Txt_NewFolder, 960, 660, 3675, 315);
    Label2->setBuddy(Txt_NewFolder);  // names the box for screen readers

    Chk_Cd_Nowfolder = new QCheckBox(QStringLiteral("作成後新しいフォルダを指定する。"), this);
    Chk_Cd_Nowfolder->setObjectName(QStringLiteral("Chk_Cd_Nowfolder"));
    Chk_Cd_Nowfolder->setChecked(true);
    Place(Chk_Cd_Nowfolder, 60, 1080, 4515, 255);

    Cmd_Make = new QPushButton(QStringLiteral("作成(&M)"), this);
    Cmd_Make->setObjectName(QStringLiteral("Cmd_Make"));
    Cmd_Make->setToolTip(QStringLiteral("新しいフォルダを作成します"));
    Place(Cmd_Make, 1800, 1440, 1395, 375);

    Cmd_Cancel = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    Cmd_Cancel->setObjectName(QStringLiteral("Cmd_Cancel"));
    Cmd_Cancel->setToolTip(QStringLiteral("フォルダを作成しないでダイアログを閉じます"));
    Place(Cmd_Cancel, 3240, 1440, 1395, 375);

    setTabOrder(Txt_NewFolder, Chk_Cd_Nowfolder);
    setTabOrder(Chk_Cd_Nowfolder, Cmd_Make);
    setTabOrder(Cmd_Make, Cmd_Cancel);
    Cmd_Make->setAutoDefault(false);
    Cmd_Cancel->setAutoDefault(false);

    SetHelpTopic(Txt_NewFolder, kHelpMkdirName);
    SetHelpTopic(Chk_Cd_Nowfolder, kHelpMkdirSwitch);
    SetHelpTopic(Cmd_Make, kHelpMkdirMake);
    SetHelpTopic(Cmd_Cancel, kHelpMkdirCancel);

    connect(Cmd_Make, &QPushButton::clicked, this, &Frm_Mkdir::Cmd_Make_Click);
    connect(Cmd_Cancel, &QPushButton::clicked, this, &Frm_Mkdir::Cmd_Cancel_Click);

    Form_Load();
    for (QWidget* text : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2),
                          static_cast<QWidget*>(Chk_Cd_Nowfolder)})
        FitText(text);
}

void Frm_Mkdir::SetHelpTopic(QWidget* control, int contextId) {
    control->setProperty("helpContextId", contextId);
    if (!help_) return;
    const std::u16string text = help_->TopicText(contextId);
    if (text.empty()) return;
    control->setWhatsThis(QString::fromStdU16String(text) +
                          QStringLiteral("<p><a href=\"%1\">ヘルプを表示</a></p>").arg(HelpLink(contextId)));
    control->installEventFilter(this);
}

QString Frm_Mkdir::HelpLink(int contextId) { return QStringLiteral("zvhelp:%1").arg(contextId); }

bool Frm_Mkdir::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WhatsThisClicked && help_) {
        const QString href = static_cast<QWhatsThisClickedEvent*>(event)->href();
        if (href.startsWith(QLatin1String("zvhelp:"))) {
            bool ok = false;
            const int id = href.mid(7).toInt(&ok);
            if (ok) help_->ShowTopic(id);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Frm_Mkdir::Form_Load() {
    Label1->setText(QString::fromStdU16String(host_.DestinationFolder()) +
                    QStringLiteral(" の下に新規フォルダを作成します。"));
}

void Frm_Mkdir::Cmd_Make_Click() {
    const std::u16string name = Txt_NewFolder->text().toStdU16String();
    if (name.empty()) return;
    if (messages_.Show(name + u"フォルダを作成します。", kOkCancel, u"新規作成") == kCancel) return;

    if (CreateFolder(name)) {
        accept();
        return;
    }
    messages_.Show(u"フォルダの作成に失敗しました。", kOkOnly, u"作成エラー");
}

bool Frm_Mkdir::CreateFolder(const std::u16string& name) {
    // A NUL cannot be part of a folder name; the operating system would stop
    // reading the name there and make a folder of another name.
    if (name.find(u'\0') != std::u16string::npos) return false;
    try {
        if (!fileSystem_.MakeDirectory(JoinPath(host_.DestinationFolder(), name)).ok()) return false;
        if (Chk_Cd_Nowfolder->isChecked())
            host_.SetDestinationFolder(JoinPath(host_.DestinationFolder(), name));
        host_.RefreshDestinationFolders();
        host_.RefreshSourceFolders();
        return true;
    } catch (const std::exception&) {
        return false;  // reported like a refused creation; the dialog stays open
    }
}

void Frm_Mkdir::Cmd_Cancel_Click() { reject(); }

bool ShowMkdirDialog(MkdirHost& host, FileSystem& fileSystem, MessageBoxService& messages, HelpService* help,
                     QWidget* owner) {
    Frm_Mkdir dialog(host, fileSystem, messages, help, owner);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace zv::dialogs
