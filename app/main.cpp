#include <variant>

#include "app/CommandLine.h"
#include "app/MainApp.h"

int main(int argc, char** argv)
{
    const std::variant<int, ModellerStart> request = RunCommandLine(argc, argv);
    if (const int* status = std::get_if<int>(&request))
        return *status;
    return RunModeller(argv[0], std::get<ModellerStart>(request).design);
}
