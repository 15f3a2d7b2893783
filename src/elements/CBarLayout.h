#pragma once

#include "elements/CScreenRect.h"
#include "elements/CVexlorElement.h"

#include <QString>

#include <unordered_map>
#include <vector>

// The layout file tvl.cfg of a script folder: the bar's rectangle ("GENERAL") and the order map
// from element number to bar position ("EL_MAP", El_%d / Map_%d). The bar window holds one for its
// current folder; every operation takes the folder (a '/' is added when missing). Writes report
// whether they worked and a failed write leaves the old file. Map entries naming no loaded element
// are harmless and dropped by renumber(). A map write changes only the entries that differ from
// what the file holds and removes the file's entries beyond the map's end, so after any renumber
// the file holds exactly the loaded elements. Reading the map removes the leftovers of an
// interrupted save of tvl.cfg.
class CBarLayout
{
public:
    static constexpr const char kLayoutFile[] = "tvl.cfg";

    struct Entry
    {
        int elementNumber = 0;
        int position = 0;
        bool operator==(const Entry &other) const = default;
    };

    const CScreenRect &barRect() const { return m_barRect; }
    void setBarRect(const CScreenRect &r) { m_barRect = r; }
    const std::vector<Entry> &orderMap() const { return m_map; }

    // Takes the stored rectangle when it has a non-zero width and height, then repairs the bar
    // rectangle: zero height → top 0, bottom 300; zero width → left 0, right 300.
    void readBarRect(const QString &folder);
    bool writeBarRect(const QString &folder) const;

    // Reads the map; when it is empty builds (number, number) for every element in list order and
    // writes it. Leftover temporaries of tvl.cfg are removed first. Then gives every element its
    // position (0 without an entry) and sorts list by position.
    void readOrderMap(const QString &folder, CElementList &list);
    bool writeOrderMap(const QString &folder) const;

    // The position of the first entry for elementNumber, or 0.
    int positionOf(int elementNumber) const;
    bool hasEntry(int elementNumber) const;

    // Gives every element of list the position of its first entry, or 0.
    void assignPositions(CElementList &list) const;
    // Sorts list by bar position, ascending; equal positions keep their order.
    static void sortByPosition(CElementList &list);

    // Appends (number, largest position + 1, or 1 for an empty map) and assigns positions.
    void addElement(const CVexlorElement &element, CElementList &list);
    // Removes the first entry of element's number, if any, and assigns positions.
    void removeElement(const CVexlorElement &element, CElementList &list);

    // Exchanges the bar positions of a and b, then renumbers and writes the map. An element without
    // an entry is first given one by renumbering, so the swap never fails. False when a or b is not
    // in list.
    bool swapElements(const CVexlorElement &a, const CVexlorElement &b, CElementList &list,
                      const QString &folder);

    // Up and Down: swaps the element at index with its neighbour before or after it in bar order
    // (renumbering first when an element has no entry or shares its position). False (nothing
    // changed) at the edge of the list or for an index outside it. A move that could not write the
    // map still moves in memory; orderMapWriteFailed() then says so.
    bool moveUp(int index, CElementList &list, const QString &folder);
    bool moveDown(int index, CElementList &list, const QString &folder);

    // Sorts list by position, rebuilds the map as (number, 1 … n) in that order, sets the elements'
    // positions likewise and writes the map; false when the map could not be written.
    bool renumber(CElementList &list, const QString &folder);

    // Whether a map write of the last readOrderMap(), moveUp() or moveDown() failed.
    bool orderMapWriteFailed() const { return m_writeFailed; }
    static QString layoutPath(const QString &folder);

private:
    const Entry *entryOf(int elementNumber) const;
    Entry *entryOf(int elementNumber);
    void mapChanged() { m_firstValid = false; }
    bool moveBy(int index, int step, CElementList &list, const QString &folder);

    CScreenRect m_barRect;    // the bar window's outer rectangle, screen coordinates
    std::vector<Entry> m_map; // order map; lookups take the first entry of a number
    mutable bool m_writeFailed = false;
    // Element number → index in m_map of its first entry; rebuilt after the map changes.
    mutable std::unordered_map<int, size_t> m_first;
    mutable bool m_firstValid = false;
    // The map as the file of m_storedFolder holds it (read or last written), so that a write
    // touches only the entries that changed; m_storedFolder is empty while that is not known.
    mutable std::vector<Entry> m_stored;
    mutable QString m_storedFolder;
};
