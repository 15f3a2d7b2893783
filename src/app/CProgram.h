#pragma once

// The whole program from main(): the command line, the display check, QApplication and the run.
namespace program {

// Answers the process's exit code.
int run(int argc, char **argv);

} // namespace program
