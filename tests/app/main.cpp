#include <QApplication>
#include <gtest/gtest.h>

#include "app/MainApp.h"

// The real windows need the application object for the whole run; the
// dialog gets the same font substitution as in the program.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    CMainApp::InstallPlatformServices();
    return RUN_ALL_TESTS();
}
