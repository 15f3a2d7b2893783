#pragma once

#include "core/CDateTime.h"
#include "db/datetime.h"

#include <QString>
#include <QStringList>

// The date and time display formats the user chooses between (options DateFormat and TimeFormat)
// and one date-time value shown with them. A value whose time is midnight shows its date alone.
class CDateType
{
public:
    static constexpr int kDateFormatCount = 9;
    static constexpr int kTimeFormatCount = 4;

    // Takes the indices from the options DateFormat and TimeFormat.
    CDateType();
    // An index outside its list selects the first format.
    CDateType(int dateIndex, int timeIndex);
    virtual ~CDateType();

    static const QStringList &dateFormatNames(); // "dd.mm.yy", … as the options page lists them
    static const QStringList &dateFormats();     // strftime-style patterns
    static const QStringList &dateEditMasks();   // 9 a digit, A a letter
    static const QStringList &timeFormatNames();
    static const QStringList &timeFormats();
    // The mask every date entry of the program uses.
    static QString editMask() { return QStringLiteral("99.99.9999"); }

    int dateIndex() const { return m_dateIndex; }
    int timeIndex() const { return m_timeIndex; }

    // A value with a field out of range becomes invalid and shows as "Invalid DateTime".
    void set(const db::datetime &value);
    void set(const CDateTime &value) { m_value = value; }
    // Reads text as the user would type it (CDateTime::parse); false, with an invalid value,
    // otherwise.
    bool parse(const QString &text);
    const CDateTime &value() const { return m_value; }

    QString dateText() const;
    QString timeText() const;
    // The date text, followed by a blank and the time text when hour, minute or second is not 0.
    QString displayText() const;
    // The same for a value straight from a fetched row, without keeping it.
    QString displayText(const db::datetime &value) const;
    // Year, month (one outside 1..12 gives 12), day, hour, minute and second of the value.
    db::datetime toDatetime() const;

private:
    QString display(const CDateTime &value) const;

    CDateTime m_value = CDateTime::invalid();
    int m_dateIndex = 0; // into dateFormats()
    int m_timeIndex = 0; // into timeFormats()
};
