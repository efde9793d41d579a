#include <optional>

#include "app/CommandLine.h"
#include "app/MainApp.h"

int main(int argc, char** argv)
{
    if (const std::optional<int> status = RunCommandLine(argc, argv))
        return *status;
    CMainApp application(argc, argv);
    application.InitInstance();
    return 0;
}
