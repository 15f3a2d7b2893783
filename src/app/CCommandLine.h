#pragma once

#include <QStringList>

// What the command line asks for. Arguments are taken one by one, never the program's own path:
// "/hide" counts only as a whole argument, so a program installed under a folder named "/hide"
// is not started hidden.
struct CCommandLine
{
    bool hidden = false;  // "/hide": start invisibly (the autostart entry passes it)
    bool close = false;   // the first argument that is not a switch is "Close" (case-sensitive)
    bool version = false; // "--version" or "/version": print the name and version and end

    // arguments without the program's path.
    static CCommandLine parse(const QStringList &arguments);
    // argv[1..argc-1] in the locale's encoding.
    static CCommandLine parse(int argc, char **argv);
};
