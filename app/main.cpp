#include <optional>

#include "app/CommandLine.h"
#include "app/MainApp.h"
#include "core/design/TemporaryFiles.h"

int main(int argc, char** argv)
{
    // Ctrl+C or a kill while a file is written leaves no temporary file.
    RemoveTemporaryFilesOnTermination();
    if (const std::optional<int> status = RunCommandLine(argc, argv))
        return *status;
    CMainApp application(argc, argv);
    application.InitInstance();
    return 0;
}
