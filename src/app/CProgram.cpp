#include "app/CProgram.h"

#include "app/CCommandLine.h"
#include "app/CDisplayCheck.h"
#include "app/CVexlorApp.h"
#include "core/Version.h"

#include <QApplication>

#include <cstdio>

namespace program {
namespace {
constexpr int kNoDisplayExitCode = 2;
} // namespace

int run(int argc, char **argv)
{
    const CCommandLine commandLine = CCommandLine::parse(argc, argv);
    if (commandLine.version) {
        std::printf("%s\n", tarvolo::kAppNameVer);
        return 0;
    }
    const QString missing = displaycheck::missingDisplay();
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "%s\n", displaycheck::message(missing).toLocal8Bit().constData());
        return kNoDisplayExitCode;
    }

    displaycheck::armPlatformGuard(kNoDisplayExitCode);
    QApplication app(argc, argv);
    displaycheck::disarmPlatformGuard();
    QApplication::setOrganizationName(QStringLiteral("Morvell Software"));
    QApplication::setApplicationName(QString::fromLatin1(tarvolo::kAppName));
    QApplication::setApplicationVersion(QStringLiteral("1.5"));
    QApplication::setDesktopFileName(QStringLiteral("tarvolo"));

    CVexlorApp tarvolo;
    return tarvolo.run(commandLine);
}

} // namespace program
