#pragma once

#include <QApplication>

// The application: maps the dialog's Korean font to an installed face,
// shows every message in a real box, and runs the main dialog to its end.
class CMainApp {
public:
    CMainApp(int& argc, char** argv);
    // Runs the dialog; false means no further event loop is wanted.
    bool InitInstance();

    // The font substitution, the application font, the translations for the
    // user's locale, the message boxes and repaint timing, for anyone (tests
    // too) that creates the dialog without running the application.
    static void InstallPlatformServices();

private:
    QApplication m_application;
};
