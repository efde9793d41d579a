#include "app/MainApp.h"

#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/CommandLine.h"
#include "app/DialogFont.h"
#include "app/MainDlg.h"
#include "app/MessageBox.h"
#include "app/Translations.h"
#include "core/MutedStderr.h"

namespace {

void ShowQtMessageBox(const std::string& text, const std::string& caption, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

// Names a display for Qt's default platform to open, or leaves the choice
// to the user's QT_QPA_PLATFORM (offscreen, minimal, vnc and the like need
// none; one that cannot connect is caught as Qt starts).
bool DisplayNamed()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

std::string DisplayEnvironment()
{
    std::string names;
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(name))
            names += (names.empty() ? "" : ", ") + std::string(name) + "=" + value;
    return names;
}

// Qt's notes while the application starts, held back. When its platform
// cannot reach a display Qt ends the program (a fatal message, then an
// abort); one line of ours says why instead. Otherwise the notes go out as
// usual once it has started.
struct StartupNote {
    QtMsgType type;
    std::string category;
    QString message;
};

std::vector<StartupNote> g_startupNotes;
// What the window system's libraries print raw as Qt tries them (libwayland
// on a missing runtime folder, say) is not for the user either.
MutedStderr* g_startupNoise = nullptr;

void HoldStartupNote(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        g_startupNoise->Restore();
        PrintDiagnostic("cannot start the modeller: no display answered (" + DisplayEnvironment() +
                        "); export and render need none");
        std::fflush(stderr);
        std::_Exit(kExitUsage);
    }
    g_startupNotes.push_back({type, context.category ? context.category : "", message});
}

} // namespace

int RunModeller(char* programPath, const std::optional<std::string>& design)
{
    if (!DisplayNamed()) {
        PrintDiagnostic("cannot start the modeller: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                        "export and render need none");
        return kExitUsage;
    }
    MutedStderr startupNoise;
    g_startupNoise = &startupNoise;
    const QtMessageHandler usual = qInstallMessageHandler(HoldStartupNote);
    // Qt is given no arguments to read: the command line is ours.
    int argc = 1;
    char* argv[] = {programPath, nullptr};
    CMainApp application(argc, argv);
    qInstallMessageHandler(usual);
    startupNoise.Restore();
    g_startupNoise = nullptr;
    for (const StartupNote& note : g_startupNotes)
        usual(note.type, QMessageLogContext(nullptr, 0, nullptr, note.category.c_str()), note.message);
    g_startupNotes.clear();
    application.InitInstance(design);
    return kExitDone;
}

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

bool CMainApp::InitInstance(const std::optional<std::string>& design)
{
    InstallPlatformServices();
    CMainDlg dialog;
    // `velmora DESIGN.velmora` opens the design once the window is up, so
    // that a refusal shows over it.
    if (design)
        QMetaObject::invokeMethod(
            &dialog, [&dialog, path = *design] { dialog.Files().OpenDesignAt(path); }, Qt::QueuedConnection);
    dialog.exec();
    return false;
}
