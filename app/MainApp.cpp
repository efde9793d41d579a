#include "app/MainApp.h"

#include <QFont>
#include <QMessageBox>

#include "app/DialogTemplate.h"
#include "app/MainDlg.h"
#include "app/Translations.h"
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
    // Korean dialog face: take whichever Gulim-like face is installed.
    QFont::insertSubstitutions(QString::fromUtf8(kDialogFontFace),
                               {QStringLiteral("Gulim"), QStringLiteral("Baekmuk Gulim"),
                                QStringLiteral("NanumGothic"), QStringLiteral("Noto Sans CJK KR")});
    // Every box (messages, the file dialog) speaks in the dialog's face, so
    // its Korean texts and buttons look like the dialog's own.
    QApplication::setFont(CMainDlg::TemplateFont());
    InstallTranslations(QLocale());
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
