#include "app/CCommandLine.h"

namespace {

// Switches begin with '/' or '-', as on the command lines this program has always taken.
bool isSwitch(const QString &argument)
{
    return argument.startsWith(u'/') || argument.startsWith(u'-');
}

} // namespace

CCommandLine CCommandLine::parse(const QStringList &arguments)
{
    CCommandLine line;
    bool firstPlainSeen = false;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("/hide"))
            line.hidden = true;
        else if (argument == QLatin1String("--version") || argument == QLatin1String("/version"))
            line.version = true;
        if (!firstPlainSeen && !isSwitch(argument)) {
            firstPlainSeen = true;
            line.close = argument == QLatin1String("Close");
        }
    }
    return line;
}

CCommandLine CCommandLine::parse(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return parse(arguments);
}
