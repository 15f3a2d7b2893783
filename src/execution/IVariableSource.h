#pragma once

#include "elements/CSQLVariable.h"

#include <vector>

// Where a run gets the values of its variables before it executes: the variables dialog for the
// user, a table in tests.
class IVariableSource
{
public:
    virtual ~IVariableSource() = default;

    // Gives the variables their types and values (and adds the values to their histories); false
    // when the values were refused (the dialog cancelled): the run then does not execute.
    virtual bool askValues(std::vector<CSQLVariable> &variables) = 0;
};
