#include "app/MainApp.h"

#include <QFont>
#include <QMessageBox>

#include "app/DialogTemplate.h"
#include "app/MainDlg.h"
#include "core/MessageBox.h"

namespace {

void ShowQtMessageBox(const std::string& text, const std::string& caption, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace

CMainApp::CMainApp(int& argc, char** argv) : m_application(argc, argv) {}

void CMainApp::InstallPlatformServices()
{
    // A repaint asked for is drawn at the next turn of the event loop, not
    // after Qt's default idle time of 5 ms: a drag step shows that much
    // sooner. (Qt reads the setting at the first repaint request; a value
    // the user set is kept.)
    if (!qEnvironmentVariableIsSet("QT_QPA_UPDATE_IDLE_TIME"))
        qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");
    // Korean dialog face: take whichever Gulim-like face is installed.
    QFont::insertSubstitutions(QString::fromUtf8(kDialogFontFace),
                               {QStringLiteral("Gulim"), QStringLiteral("Baekmuk Gulim"),
                                QStringLiteral("NanumGothic"), QStringLiteral("Noto Sans CJK KR")});
    SetApplicationTitle(QCoreApplication::applicationName().toStdString());
    SetMessageBoxHandler(ShowQtMessageBox);
}

bool CMainApp::InitInstance()
{
    InstallPlatformServices();
    CMainDlg dialog;
    dialog.exec();
    return false;
}
