#include "app/MainApp.h"

#include <QStringList>
#include <QMessageBox>

#include "app/DialogFont.h"
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
    // A repaint asked for is drawn at the next turn of the event loop, not
    // after Qt's default idle time of 5 ms: a drag step shows that much
    // sooner. (Qt reads the setting at the first repaint request; a value
    // the user set is kept.)
    if (!qEnvironmentVariableIsSet("QT_QPA_UPDATE_IDLE_TIME"))
        qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");
    InstallDialogFontSubstitutes();
    // Every box (messages, the file dialog) speaks in the dialog's face, so
    // its Korean texts and buttons look like the dialog's own.
    QApplication::setFont(DialogFont());
    InstallTranslations(QLocale());
    SetApplicationTitle(QCoreApplication::applicationName().toStdString());
    SetMessageBoxHandler(ShowQtMessageBox);
}

bool CMainApp::InitInstance()
{
    InstallPlatformServices();
    CMainDlg dialog;
    // `velmora DESIGN.velmora` opens the design once the window is up, so
    // that a refusal shows over it.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) {
        const QString path = arguments.at(1);
        QMetaObject::invokeMethod(&dialog, [&dialog, path] { dialog.OpenDesign(path); }, Qt::QueuedConnection);
    }
    dialog.exec();
    return false;
}
