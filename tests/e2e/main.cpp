#include <QApplication>
#include <gtest/gtest.h>

#include "app/MainApp.h"

// The stories run against real windows for the whole run, with the same font
// substitution and message-box service as the program.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    CMainApp::InstallPlatformServices();
    return RUN_ALL_TESTS();
}
