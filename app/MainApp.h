#pragma once

#include <QApplication>
#include <optional>
#include <string>

// The application: maps the dialog's Korean font to an installed face,
// shows every message in a real box, and runs the main dialog to its end.
class CMainApp {
public:
    CMainApp(int& argc, char** argv);
    // Runs the dialog, which opens `design` (a path as the file system names
    // it) once it is up; false means no further event loop is wanted.
    bool InitInstance(const std::optional<std::string>& design);

    // The font substitution, the application font, the translations for the
    // user's locale, the message boxes and repaint timing, for anyone (tests
    // too) that creates the dialog without running the application.
    static void InstallPlatformServices();

private:
    QApplication m_application;
};

// Starts the modeller, with `design` open, and runs it to its end: status 0.
// With no display to show it on, one line on stderr and status 2 instead.
int RunModeller(char* programPath, const std::optional<std::string>& design);
