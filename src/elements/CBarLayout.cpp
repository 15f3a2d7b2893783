#include "elements/CBarLayout.h"

#include "core/CProfileFile.h"

#include <algorithm>

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
    {
        const CProfileFile file(layoutPath(folder));
        for (int i = 0;; ++i) {
            const QString el = elKey(i);
            if (file.readString(kElMap, el).isEmpty())
                break;
            m_map.push_back({file.readInt(kElMap, el), file.readInt(kElMap, mapKey(i))});
        }
    }
    if (m_map.empty()) {
        for (const auto &element : list)
            m_map.push_back({element->elementNumber(), element->elementNumber()});
        writeOrderMap(folder);
    }
    assignPositions(list);
    sortByPosition(list);
}

bool CBarLayout::writeOrderMap(const QString &folder) const
{
    CProfileFile file(layoutPath(folder));
    for (size_t i = 0; i < m_map.size(); ++i) {
        file.writeInt(kElMap, elKey(qsizetype(i)), m_map[i].elementNumber);
        file.writeInt(kElMap, mapKey(qsizetype(i)), m_map[i].position);
    }
    const bool ok = file.flush();
    m_writeFailed = m_writeFailed || !ok;
    return ok;
}

CBarLayout::Entry *CBarLayout::entryOf(int elementNumber)
{
    const auto it = std::find_if(m_map.begin(), m_map.end(),
                                 [&](const Entry &e) { return e.elementNumber == elementNumber; });
    return it == m_map.end() ? nullptr : &*it;
}

int CBarLayout::positionOf(int elementNumber) const
{
    const Entry *entry = const_cast<CBarLayout *>(this)->entryOf(elementNumber);
    return entry ? entry->position : 0;
}

bool CBarLayout::hasEntry(int elementNumber) const
{
    return const_cast<CBarLayout *>(this)->entryOf(elementNumber) != nullptr;
}

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
    assignPositions(list);
}

void CBarLayout::removeElement(const CVexlorElement &element, CElementList &list)
{
    const auto it = std::find_if(m_map.begin(), m_map.end(), [&](const Entry &e) {
        return e.elementNumber == element.elementNumber();
    });
    if (it != m_map.end())
        m_map.erase(it);
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
    for (size_t i = 0; i < list.size(); ++i) {
        m_map.push_back({list[i]->elementNumber(), int(i) + 1});
        list[i]->setBarPosition(int(i) + 1);
    }
    return writeOrderMap(folder);
}
