#include <QGuiApplication>
#include <gtest/gtest.h>

// OpenGL contexts need the window system, so the application object exists
// for the whole run.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
