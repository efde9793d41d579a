#include "app/MainApp.h"

#include <QMessageBox>

#include "app/DialogFont.h"
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
    InstallDialogFontSubstitutes();
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
