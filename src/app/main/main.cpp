// Tarvolo's entry point.
#include "core/Version.h"
#include "engine/CEngineProvider.h"
#include "oci/process_environment.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    oci::prepareProcessEnvironment(); // sets NLS_LANG: before any thread exists
    engine::registerEngineProvider();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "/version") == 0) {
            std::printf("%s\n", tarvolo::kAppNameVer);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Morvell Software");
    QApplication::setApplicationName(tarvolo::kAppName);
    std::fprintf(stderr,
                 "%s: the element bar is not built yet, so there is nothing to show. This build holds "
                 "the file formats, the settings store, the element model, the database layer with "
                 "its embedded engine, and the result grid; run scripts/test to exercise them.\n",
                 tarvolo::kAppNameVer);
    return 1;
}
