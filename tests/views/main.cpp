#include <QGuiApplication>
#include <gtest/gtest.h>

// The views are windows with OpenGL contexts: the application object exists
// for the whole run.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
