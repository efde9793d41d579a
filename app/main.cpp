#include <variant>

#include "app/CommandLine.h"
#include "app/MainApp.h"
#include "core/design/TemporaryFiles.h"

int main(int argc, char** argv)
{
    // Ctrl+C or a kill while a file is written leaves no temporary file.
    RemoveTemporaryFilesOnTermination();
    const std::variant<int, ModellerStart> request = RunCommandLine(argc, argv);
    if (const int* status = std::get_if<int>(&request))
        return *status;
    return RunModeller(argv[0], std::get<ModellerStart>(request).design);
}
