#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/MainApp.h"

// The dialog's tests and stories: real windows, which need the application
// object for the whole run, with the program's font substitution,
// translations and message-box service.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // The list of recent designs lives in the user's settings: the tests
    // keep theirs apart from the user's and from each other run's.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    QApplication app(argc, argv);
    CMainApp::InstallPlatformServices();
    return RUN_ALL_TESTS();
}
