#include "execution/CTVLDateTimePicker.h"

CTVLDateTimePicker::CTVLDateTimePicker(QWidget *parent) : QDateTimeEdit(parent)
{
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    setCalendarPopup(true);
}
