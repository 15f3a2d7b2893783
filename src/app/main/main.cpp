// Tarvolo's entry point.
#include "app/CProgram.h"

int main(int argc, char **argv)
{
    // Preparation of the process environment and registration of the database providers go here,
    // before anything else runs.

    return program::run(argc, argv);
}
