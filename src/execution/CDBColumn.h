#pragma once

#include <QString>

// One column of a query that a run describes: the result grid's headings, sort kinds and export
// types come from it.
struct CDBColumn
{
    QString name; // as the result set describes it
    int kind = 0; // db::kind_number, kind_date or kind_string
};
