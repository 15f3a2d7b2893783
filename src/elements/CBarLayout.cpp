#include "elements/CBarLayout.h"

#include "core/CProfileFile.h"
#include "core/SaveFile.h"

#include <algorithm>
#include <utility>

namespace {

const QString kGeneral = QStringLiteral("GENERAL");
const QString kElMap = QStringLiteral("EL_MAP");

QString elKey(qsizetype i) { return QLatin1String("El_") + QString::number(i); }
QString mapKey(qsizetype i) { return QLatin1String("Map_") + QString::number(i); }

} // namespace

QString CBarLayout::layoutPath(const QString &folder)
{
    return CVexlorElement::withTrailingSeparator(folder) + QLatin1String(kLayoutFile);
}

void CBarLayout::readBarRect(const QString &folder)
{
    const CProfileFile file(layoutPath(folder));
    CScreenRect stored;
    stored.left = file.readInt(kGeneral, QStringLiteral("Left"));
    stored.top = file.readInt(kGeneral, QStringLiteral("Top"));
    stored.right = file.readInt(kGeneral, QStringLiteral("Right"));
    stored.bottom = file.readInt(kGeneral, QStringLiteral("Bottom"));
    if (stored.width() != 0 && stored.height() != 0)
        m_barRect = stored;
    if (m_barRect.height() == 0) {
        m_barRect.top = 0;
        m_barRect.bottom = 300;
    }
    if (m_barRect.width() == 0) {
        m_barRect.left = 0;
        m_barRect.right = 300;
    }
}

bool CBarLayout::writeBarRect(const QString &folder) const
{
    CProfileFile file(layoutPath(folder));
    file.writeInt(kGeneral, QStringLiteral("Left"), m_barRect.left);
    file.writeInt(kGeneral, QStringLiteral("Top"), m_barRect.top);
    file.writeInt(kGeneral, QStringLiteral("Right"), m_barRect.right);
    file.writeInt(kGeneral, QStringLiteral("Bottom"), m_barRect.bottom);
    return file.flush();
}

void CBarLayout::readOrderMap(const QString &folder, CElementList &list)
{
    m_map.clear();
    mapChanged();
    m_writeFailed = false;
    savefile::removeLeftovers(CVexlorElement::withTrailingSeparator(folder),
                              {QLatin1String(kLayoutFile)});
    {
        const CProfileFile file(layoutPath(folder));
        for (int i = 0;; ++i) {
            const QString el = elKey(i);
            if (file.readString(kElMap, el).isEmpty())
                break;
            m_map.push_back({file.readInt(kElMap, el), file.readInt(kElMap, mapKey(i))});
        }
    }
    m_stored = m_map;
    m_storedFolder = layoutPath(folder);
    if (m_map.empty()) {
        for (const auto &element : list)
            m_map.push_back({element->elementNumber(), element->elementNumber()});
        mapChanged();
        writeOrderMap(folder);
    }
    assignPositions(list);
    sortByPosition(list);
}

bool CBarLayout::writeOrderMap(const QString &folder) const
{
    const QString path = layoutPath(folder);
    const bool known = path == m_storedFolder;
    CProfileFile file(path);
    for (size_t i = 0; i < m_map.size(); ++i) {
        const Entry *stored = known && i < m_stored.size() ? &m_stored[i] : nullptr;
        if (!stored || stored->elementNumber != m_map[i].elementNumber)
            file.writeInt(kElMap, elKey(qsizetype(i)), m_map[i].elementNumber);
        if (!stored || stored->position != m_map[i].position)
            file.writeInt(kElMap, mapKey(qsizetype(i)), m_map[i].position);
    }
    // Entries beyond the map's end name elements that are gone (or repeat ones the map holds):
    // they are removed, last first, so the file holds the map and nothing else.
    qsizetype end = qsizetype(m_map.size());
    if (known)
        end = std::max(end, qsizetype(m_stored.size()));
    else
        while (!file.readString(kElMap, elKey(end)).isEmpty())
            ++end;
    for (qsizetype i = end - 1; i >= qsizetype(m_map.size()); --i) {
        file.removeKey(kElMap, mapKey(i));
        file.removeKey(kElMap, elKey(i));
    }
    const bool ok = file.flush();
    m_writeFailed = m_writeFailed || !ok;
    if (ok) {
        m_stored = m_map;
        m_storedFolder = path;
    } else {
        m_storedFolder.clear(); // what the file holds now is not known
    }
    return ok;
}

const CBarLayout::Entry *CBarLayout::entryOf(int elementNumber) const
{
    if (!m_firstValid) {
        m_first.clear();
        m_first.reserve(m_map.size());
        for (size_t i = 0; i < m_map.size(); ++i)
            m_first.try_emplace(m_map[i].elementNumber, i);
        m_firstValid = true;
    }
    const auto it = m_first.find(elementNumber);
    return it == m_first.end() ? nullptr : &m_map[it->second];
}

CBarLayout::Entry *CBarLayout::entryOf(int elementNumber)
{
    return const_cast<Entry *>(std::as_const(*this).entryOf(elementNumber));
}

int CBarLayout::positionOf(int elementNumber) const
{
    const Entry *entry = entryOf(elementNumber);
    return entry ? entry->position : 0;
}

bool CBarLayout::hasEntry(int elementNumber) const { return entryOf(elementNumber) != nullptr; }

void CBarLayout::assignPositions(CElementList &list) const
{
    for (auto &element : list)
        element->setBarPosition(positionOf(element->elementNumber()));
}

void CBarLayout::sortByPosition(CElementList &list)
{
    std::stable_sort(list.begin(), list.end(), [](const auto &a, const auto &b) {
        return a->barPosition() < b->barPosition();
    });
}

void CBarLayout::addElement(const CVexlorElement &element, CElementList &list)
{
    int largest = 0;
    for (const Entry &e : m_map)
        largest = std::max(largest, e.position);
    m_map.push_back({element.elementNumber(), m_map.empty() ? 1 : largest + 1});
    mapChanged();
    assignPositions(list);
}

void CBarLayout::removeElement(const CVexlorElement &element, CElementList &list)
{
    const auto it = std::find_if(m_map.begin(), m_map.end(), [&](const Entry &e) {
        return e.elementNumber == element.elementNumber();
    });
    if (it != m_map.end())
        m_map.erase(it);
    mapChanged();
    assignPositions(list);
}

bool CBarLayout::swapElements(const CVexlorElement &a, const CVexlorElement &b, CElementList &list,
                              const QString &folder)
{
    const auto inList = [&](const CVexlorElement &e) {
        return std::any_of(list.begin(), list.end(), [&](const auto &p) { return p.get() == &e; });
    };
    if (!inList(a) || !inList(b))
        return false;
    if (!hasEntry(a.elementNumber()) || !hasEntry(b.elementNumber()))
        renumber(list, folder);
    Entry *ea = entryOf(a.elementNumber());
    Entry *eb = entryOf(b.elementNumber());
    if (!ea || !eb)
        return false;
    std::swap(ea->elementNumber, eb->elementNumber);
    mapChanged();
    assignPositions(list);
    renumber(list, folder);
    return true;
}

bool CBarLayout::moveBy(int index, int step, CElementList &list, const QString &folder)
{
    m_writeFailed = false;
    if (index < 0 || size_t(index) >= list.size())
        return false;
    CVexlorElement *element = list[size_t(index)].get();
    // Elements without an entry, or with a position another shares, have no stable place among
    // equals and a swap would not move them: give every element its own entry first.
    bool distinct = std::all_of(list.begin(), list.end(),
                                [&](const auto &e) { return hasEntry(e->elementNumber()); });
    for (size_t i = 1; distinct && i < list.size(); ++i)
        distinct = list[i - 1]->barPosition() < list[i]->barPosition();
    if (!distinct) {
        renumber(list, folder);
        const auto it = std::find_if(list.begin(), list.end(),
                                     [&](const auto &e) { return e.get() == element; });
        index = int(it - list.begin());
    }
    const int other = index + step;
    if (other < 0 || size_t(other) >= list.size())
        return false;
    return swapElements(*element, *list[size_t(other)], list, folder);
}

bool CBarLayout::moveUp(int index, CElementList &list, const QString &folder)
{
    return moveBy(index, -1, list, folder);
}

bool CBarLayout::moveDown(int index, CElementList &list, const QString &folder)
{
    return moveBy(index, +1, list, folder);
}

bool CBarLayout::renumber(CElementList &list, const QString &folder)
{
    sortByPosition(list);
    m_map.clear();
    mapChanged();
    for (size_t i = 0; i < list.size(); ++i) {
        m_map.push_back({list[i]->elementNumber(), int(i) + 1});
        list[i]->setBarPosition(int(i) + 1);
    }
    return writeOrderMap(folder);
}
