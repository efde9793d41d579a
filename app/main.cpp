#include "app/MainApp.h"

int main(int argc, char** argv)
{
    CMainApp application(argc, argv);
    application.InitInstance();
    return 0;
}
