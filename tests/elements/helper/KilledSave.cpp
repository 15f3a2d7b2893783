// A save that stops at the worst moment: it runs one save of an element folder (or of a script
// folder's tvl.cfg) and, when the save is about to rename its finished temporary file over the
// file named on the command line, prints the temporary's path and waits to be killed. The test
// that starts it kills it there, as a crash or a power cut would.
//
//   tarvolo_killed_save <folder> <file name> save|rewrite|layout [icon to copy]
#include "elements/CBarLayout.h"
#include "elements/CVexlorElement.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <string>

#include <dlfcn.h>
#include <unistd.h>

namespace {

std::string g_stopAt; // "/<file name>": the rename over this file does not happen

} // namespace

// Replaces the C library's rename for this process: Qt's atomic save and the element's rewrite
// both end in it.
extern "C" int rename(const char *from, const char *to)
{
    using Rename = int (*)(const char *, const char *);
    static const auto real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    const std::string target(to);
    if (!g_stopAt.empty() && target.size() >= g_stopAt.size() &&
        target.compare(target.size() - g_stopAt.size(), g_stopAt.size(), g_stopAt) == 0) {
        std::printf("%s\n", from);
        std::fflush(stdout);
        for (;;)
            pause();
    }
    return real(from, to);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    g_stopAt = std::string("/") + argv[2];
    const std::string mode = argv[3];
    if (mode == "layout") {
        CBarLayout layout;
        CElementList list;
        for (int n : {1, 2}) {
            list.push_back(std::make_unique<CVexlorElement>());
            list.back()->setElementNumber(n);
        }
        layout.readOrderMap(folder, list);
        layout.moveDown(0, list, folder);
        return 1; // the write above never returns
    }
    CVexlorElement element;
    element.load(folder);
    element.setName(element.name() + QStringLiteral(" changed"));
    element.connection().setUser(QStringLiteral("CHANGED"));
    if (argc > 4)
        element.setIconPath(QString::fromLocal8Bit(argv[4]));
    if (mode == "rewrite")
        element.saveConfiguration(true);
    else
        element.save();
    return 1; // reached only when the save never came to the file
}
