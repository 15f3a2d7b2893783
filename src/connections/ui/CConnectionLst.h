#pragma once

#include "connections/ui/CConnectionOrder.h"
#include "grid/CGridCtrl.h"

class CConnectionList;
class CSQLConnection;
class CSettingsStore;

// The grid of saved connections in the connections dialog: one row per saved record with its user,
// database, connect as and last connect, sorted by one column. A press on a heading sorts by that
// column (a second press reverses the direction); the sort column and direction are read from the
// settings store when the list is made and written back when it is destroyed. The list remembers
// the record of the row it last selected and selects it again after every fill and sort.
class CConnectionLst : public CGridCtrl
{
    Q_OBJECT
public:
    static constexpr int kDefaultWidths[CConnectionOrder::kColumnCount] = {135, 100, 70, 110};

    // store must outlive the list.
    explicit CConnectionLst(CSettingsStore &store, QWidget *parent = nullptr);
    ~CConnectionLst() override;

    // Shows the records of list (which must outlive the list, or be shown again before it changes)
    // in the sort order, then selects the remembered record's row.
    void fill(const CConnectionList &list);

    // The record shown in row, or null.
    const CSQLConnection *recordAt(int row) const;
    // The first row showing user at database, or -1.
    int rowOf(const QString &user, const QString &database) const;

    // Remembers record and makes its row current, without rowChosen; no row is current when it has
    // none.
    void selectRecord(const CSQLConnection &record);

    // Sorts as a press on the heading of column does.
    void pressHeading(int column);

    const CConnectionSort &sorting() const { return m_sort; }

signals:
    // The user moved the current row to row (with the mouse or the keyboard).
    void rowChosen(int row);
    // Delete was pressed in the list.
    void deleteRequested();
    // Enter was pressed in the list or a row was double-clicked.
    void acceptRequested();

protected:
    // Taking the focus makes no row current: only the user's choice of a row fills the fields.
    void focusInEvent(QFocusEvent *event) override;

private:
    void applySort();
    void selectRemembered();

    CSettingsStore &m_store;
    const CConnectionList *m_list = nullptr; // shown; not owned
    CConnectionSort m_sort;
    std::vector<int> m_rows;  // row -> index in m_list
    QString m_rememberedUser; // identity of the row last selected
    QString m_rememberedDatabase;
    bool m_quiet = false; // a change of the current row by the program, not the user
};
