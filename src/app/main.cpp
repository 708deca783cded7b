#include "app/CommandLine.h"
#include "app/Startup.h"

int main(int argc, char** argv)
{
    if (const std::optional<int> code = app::handleCommandLine(argc, argv))
        return *code;
    return app::run(argc, argv);
}
