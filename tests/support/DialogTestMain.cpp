#include <QApplication>
#include <QTemporaryDir>
#include <QThreadPool>
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
    const int failed = RUN_ALL_TESTS();
    // Qt's image conversions leave idle pool threads behind; ended here, the
    // leak check at exit does not have to stop them.
    QThreadPool::globalInstance()->waitForDone();
    return failed;
}
