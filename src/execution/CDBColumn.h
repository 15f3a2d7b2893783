#pragma once

#include <QString>

namespace db {
class column;
}

// One column of the result grid's current query.
struct CDBColumn
{
    QString name;                 // as the result set describes it
    db::column *column = nullptr; // the result set's column; gone with the result set
    int width = 0;                // widest text measured so far, pixels
    int kind = 0;                 // db::kind_number, kind_date or kind_string
};
