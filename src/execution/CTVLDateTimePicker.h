#pragma once

#include <QDateTimeEdit>

// The date picker of the program's grids: a date edit with a calendar pop-up in the fixed entry
// format dd.MM.yyyy. The variables grid keeps it available; its cells use the masked text entry.
class CTVLDateTimePicker : public QDateTimeEdit
{
    Q_OBJECT
public:
    explicit CTVLDateTimePicker(QWidget *parent = nullptr);
};
