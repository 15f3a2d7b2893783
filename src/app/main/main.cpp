// Tarvolo's entry point.
#include "app/CProgram.h"
#include "engine/CEngineProvider.h"
#include "oci/process_environment.h"

int main(int argc, char **argv)
{
    oci::prepareProcessEnvironment(); // sets NLS_LANG: before any thread exists
    engine::registerEngineProvider();
    return program::run(argc, argv);
}
