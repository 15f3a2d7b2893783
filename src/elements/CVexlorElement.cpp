#include "elements/CVexlorElement.h"

#include "core/CProfileFile.h"
#include "core/CTextReader.h"
#include "core/CTextWriter.h"
#include "elements/CSQLBindVar.h"
#include "settings/Options.h"

#include "core/SaveFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QSaveFile>

#include <QHash>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <limits>
#include <optional>

namespace {

// Stored history entries read at most per variable, before the newest are kept; bounds the work a
// damaged or hostile item.cfg can cause.
constexpr int kMaxStoredValues = 100000;

// The full rewrite of item.cfg builds the new file under this suffix and renames it over.
constexpr char kRewriteSuffix[] = ".new";

const QString kConnection = QStringLiteral("CONNECTION");
const QString kOthers = QStringLiteral("OTHERS");

// The decimal number at the start of text: leading blanks and one sign allowed, reading stops at
// the first other character, no digits give 0; saturates at the int range.
int leadingInt(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > 1LL + std::numeric_limits<int>::max())
            value = 1LL + std::numeric_limits<int>::max();
    }
    if (negative)
        value = -value;
    return int(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                     std::numeric_limits<int>::max()));
}

QString readTextFile(const QString &path)
{
    CTextReader reader(path);
    QString text;
    if (!reader.readWholeText(text, QStringLiteral("\r\n")))
        return QString();
    return text;
}

bool writeTextFile(const QString &path, const QString &text)
{
    CTextWriter writer(path, CTextStream::Ansi);
    writer.writeText(text);
    return writer.commit();
}

// Copies source over target through a temporary file, so a failed copy leaves target as it was.
bool copyFileAtomically(const QString &source, const QString &target)
{
    if (source.isEmpty())
        return false;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QFileInfo targetInfo(target);
    if (targetInfo.exists() && !targetInfo.isWritable())
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            return false;
        if (out.write(chunk) != chunk.size())
            return false;
    }
    return savefile::commit(out);
}

QString varSection(qsizetype i) { return QStringLiteral("VAR_%1").arg(i); }

// Writes a text value so that the next read returns it unchanged. A profile read trims outer
// blanks and drops one pair of matching outer quotes, so a value such as 'SMITH' or " x" is
// written inside one more pair of double quotes. A key that already reads as value keeps its
// stored text (a Windows file's raw 'SMITH', a value longer than a read returns).
void writeText(CProfileFile &cfg, const QString &section, const QString &key, const QString &value)
{
    const bool unchanged = cfg.readString(section, key, QStringLiteral("a")) == value &&
                           cfg.readString(section, key, QStringLiteral("b")) == value;
    if (unchanged)
        return;
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\v' || c == u'\0'; };
    const bool quoted = value.size() >= 2 && value.front() == value.back() &&
                        (value.front() == u'"' || value.front() == u'\'');
    if (!value.isEmpty() && (quoted || blank(value.front()) || blank(value.back())))
        cfg.writeString(section, key, QLatin1Char('"') + value + QLatin1Char('"'));
    else
        cfg.writeString(section, key, value);
}

} // namespace

CVexlorElement::~CVexlorElement() = default;

CVexlorElement::HistoryLimits CVexlorElement::optionLimits()
{
    return {options::clamped(options::MaxVarsInHist), options::clamped(options::nMaxValuesInHist)};
}

int CVexlorElement::elementNumberOfFolder(const QString &folderPath)
{
    QString path = QDir::fromNativeSeparators(folderPath);
    if (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return 0;
    return leadingInt(QStringView(path).mid(slash + 1));
}

QString CVexlorElement::withTrailingSeparator(const QString &path)
{
    QString p = QDir::fromNativeSeparators(path);
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    return p;
}

QString CVexlorElement::filePath(const char *fileName) const
{
    return m_folderPath + QLatin1String(fileName);
}

bool CVexlorElement::load(const QString &folderPath, const HistoryLimits &limits)
{
    m_folderPath = withTrailingSeparator(folderPath);
    m_elementNumber = elementNumberOfFolder(m_folderPath);
    if (m_elementNumber == 0)
        return false;
    m_savedVariables.clear();

    // A save that was killed half-way leaves its temporary beside the file it was for; the old
    // file is whole, so the temporary is dropped.
    savefile::removeLeftovers(m_folderPath,
                              {QLatin1String(kNameFile), QLatin1String(kDescriptionFile),
                               QLatin1String(kQueryFile), QLatin1String(kIconFile),
                               QLatin1String(kConfigFile)},
                              {QLatin1String(kConfigFile) + QLatin1String(kRewriteSuffix)});

    // Regular files only (links to them included): a FIFO or a device named like an element file
    // would block the read or never end it.
    const QDir dir(m_folderPath);
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &file : files) {
        const QString path = m_folderPath + file;
        if (file == QLatin1String(kNameFile)) {
            m_name = readTextFile(path);
        } else if (file == QLatin1String(kDescriptionFile)) {
            m_description = readTextFile(path);
        } else if (file == QLatin1String(kQueryFile)) {
            m_sqlText = readTextFile(path);
        } else if (file == QLatin1String(kIconFile)) {
            // The bar turns the file into an icon; an unreadable or empty file gives the default
            // icon.
            QFile icon(path);
            m_iconPath = icon.open(QIODevice::ReadOnly) && icon.size() > 0 ? path : QString();
        } else if (file == QLatin1String(kConfigFile)) {
            const CProfileFile cfg(path);
            readConfiguration(cfg, limits);
        }
    }
    refreshVariables();
    return true;
}

void CVexlorElement::readConfiguration(const CProfileFile &cfg, const HistoryLimits &limits)
{
    m_connection.setDatabase(cfg.readString(kConnection, QStringLiteral("Database")));
    m_connection.setUser(cfg.readString(kConnection, QStringLiteral("User")));

    m_dbGridRect.left = cfg.readInt(kOthers, QStringLiteral("DbGridLeft"));
    m_dbGridRect.top = cfg.readInt(kOthers, QStringLiteral("DbGridTop"));
    m_dbGridRect.right = cfg.readInt(kOthers, QStringLiteral("DbGridRight"));
    m_dbGridRect.bottom = cfg.readInt(kOthers, QStringLiteral("DbGridBottom"));
    m_sqlEditRect.left = cfg.readInt(kOthers, QStringLiteral("SQLEditLeft"));
    m_sqlEditRect.top = cfg.readInt(kOthers, QStringLiteral("SQLEditTop"));
    m_sqlEditRect.right = cfg.readInt(kOthers, QStringLiteral("SQLEditRight"));
    m_sqlEditRect.bottom = cfg.readInt(kOthers, QStringLiteral("SQLEditBottom"));
    m_hkStartSQL = cfg.readInt(kOthers, QStringLiteral("HkStartSQL"));
    m_showConnection = cfg.readInt(kOthers, QStringLiteral("ShowConnection")) != 0;
    m_showWarning = cfg.readInt(kOthers, QStringLiteral("ShowWarning")) != 0;
    m_lastStart = CDateTime::parse(cfg.readString(kOthers, QStringLiteral("LastStart")));

    for (int i = 0; i < limits.maxVars; ++i) {
        const QString section = varSection(i);
        CSQLVariable var;
        var.name = cfg.readString(section, QStringLiteral("Name"));
        if (var.name.isEmpty())
            break;
        var.kind = cfg.readInt(section, QStringLiteral("VarType"));
        var.type = cfg.readString(section, QStringLiteral("Type"));
        var.value = cfg.readString(section, QStringLiteral("Value"));
        // The history is stored oldest first. Keeping its first entries would freeze it once it is
        // full: every newer value would be written beyond the limit and never read back. So the
        // newest entries are the ones kept.
        QStringList entries;
        for (int j = 0; j < kMaxStoredValues; ++j) {
            const QString entry = cfg.readString(section, QStringLiteral("LastValue_%1").arg(j));
            if (entry.isEmpty())
                break;
            entries.append(entry);
        }
        const qsizetype keep = std::clamp<qsizetype>(limits.maxValues, 0, entries.size());
        for (qsizetype j = entries.size() - keep; j < entries.size(); ++j)
            var.addToHistory(entries.at(j));
        m_savedVariables.push_back(std::move(var));
    }
}

bool CVexlorElement::save()
{
    m_lastFailure.clear();
    if (m_folderPath.isEmpty())
        return true;
    if (!QFileInfo(m_folderPath).isDir() && !QDir().mkdir(m_folderPath)) {
        m_lastFailure = m_folderPath;
        return false;
    }

    // Every file is tried, so one that fails does not keep the others from being saved; the first
    // failure is the one reported.
    const auto note = [this](bool ok, const QString &path) {
        if (!ok && m_lastFailure.isEmpty())
            m_lastFailure = path;
    };
    note(writeTextFile(filePath(kNameFile), m_name), filePath(kNameFile));
    note(writeTextFile(filePath(kDescriptionFile), m_description), filePath(kDescriptionFile));
    note(writeTextFile(filePath(kQueryFile), m_sqlText), filePath(kQueryFile));

    const QString iconTarget = filePath(kIconFile);
    if (!m_iconPath.isEmpty() && m_iconPath != iconTarget) {
        const bool copied = copyFileAtomically(m_iconPath, iconTarget);
        note(copied, iconTarget);
        if (copied)
            m_iconPath = iconTarget;
    }

    mergeVariables();
    const QString failureBefore = m_lastFailure;
    const bool configured = saveConfiguration(false);
    if (!failureBefore.isEmpty())
        m_lastFailure = failureBefore;
    return configured && m_lastFailure.isEmpty();
}

bool CVexlorElement::saveConfiguration(bool rewrite)
{
    m_lastFailure.clear();
    if (!m_connection.savePassword())
        m_connection.setPassword(QString());
    if (m_folderPath.isEmpty())
        return true;

    const QString path = filePath(kConfigFile);
    if (!rewrite) {
        CProfileFile cfg(path);
        writeConfiguration(cfg);
        if (!cfg.flush()) {
            m_lastFailure = path;
            return false;
        }
        return true;
    }
    // A rewrite builds the new file beside the old one and renames it over, so that a failed write
    // never leaves the element without its configuration.
    const QString fresh = path + QLatin1String(kRewriteSuffix);
    QFile::remove(fresh);
    bool written = false;
    {
        CProfileFile cfg(fresh);
        writeConfiguration(cfg);
        written = cfg.flush() && QFileInfo::exists(fresh);
    }
    if (!written || std::rename(QFile::encodeName(fresh).constData(),
                                QFile::encodeName(path).constData()) != 0) {
        QFile::remove(fresh);
        m_lastFailure = path;
        return false;
    }
    return true;
}

void CVexlorElement::writeConfiguration(CProfileFile &cfg)
{
    writeText(cfg, kConnection, QStringLiteral("Database"), m_connection.database());
    writeText(cfg, kConnection, QStringLiteral("User"), m_connection.user());

    cfg.writeInt(kOthers, QStringLiteral("DbGridLeft"), m_dbGridRect.left);
    cfg.writeInt(kOthers, QStringLiteral("DbGridTop"), m_dbGridRect.top);
    cfg.writeInt(kOthers, QStringLiteral("DbGridRight"), m_dbGridRect.right);
    cfg.writeInt(kOthers, QStringLiteral("DbGridBottom"), m_dbGridRect.bottom);
    cfg.writeInt(kOthers, QStringLiteral("SQLEditLeft"), m_sqlEditRect.left);
    cfg.writeInt(kOthers, QStringLiteral("SQLEditTop"), m_sqlEditRect.top);
    cfg.writeInt(kOthers, QStringLiteral("SQLEditRight"), m_sqlEditRect.right);
    cfg.writeInt(kOthers, QStringLiteral("SQLEditBottom"), m_sqlEditRect.bottom);
    cfg.writeInt(kOthers, QStringLiteral("HkStartSQL"), m_hkStartSQL);
    cfg.writeInt(kOthers, QStringLiteral("ShowConnection"), m_showConnection ? 1 : 0);
    cfg.writeInt(kOthers, QStringLiteral("ShowWarning"), m_showWarning ? 1 : 0);
    cfg.writeString(kOthers, QStringLiteral("LastStart"),
                    m_lastStart.format(QString::fromLatin1(CDateTime::kFileFormat)));

    for (size_t i = 0; i < m_savedVariables.size(); ++i) {
        const CSQLVariable &var = m_savedVariables[i];
        const QString section = varSection(qsizetype(i));
        cfg.writeInt(section, QStringLiteral("VarType"), var.kind);
        writeText(cfg, section, QStringLiteral("Name"), var.name);
        writeText(cfg, section, QStringLiteral("Type"), var.type);
        writeText(cfg, section, QStringLiteral("Value"), var.value);
        for (qsizetype j = 0; j < var.history.size(); ++j)
            writeText(cfg, section, QStringLiteral("LastValue_%1").arg(j), var.history.at(j));
        // Keys are never deleted, so a longer history stored earlier in this section (a shorter
        // history now, or the section's earlier variable) would follow this one's and be read back
        // as its own; an empty entry ends the history there.
        const QString next = QStringLiteral("LastValue_%1").arg(var.history.size());
        if (!cfg.readString(section, next).isEmpty())
            cfg.writeString(section, next, QString());
    }
}

bool CVexlorElement::deleteFolder()
{
    QString path = m_folderPath;
    if (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (path.isEmpty() || elementNumberOfFolder(path) == 0)
        return false;
    const QFileInfo info(path);
    if (info.isSymLink())
        return QFile::remove(path); // the link goes, never what it points to
    if (!info.isDir())
        return false;
    return QDir(path).removeRecursively();
}

void CVexlorElement::refreshVariables()
{
    CSQLBindVar scanner;
    scanner.scan(m_sqlText);
    m_parsedVariables = scanner.takeVariables();
    QHash<QString, size_t> firstSaved; // name → its first saved variable
    firstSaved.reserve(qsizetype(m_savedVariables.size()));
    for (size_t i = 0; i < m_savedVariables.size(); ++i) {
        if (!firstSaved.contains(m_savedVariables[i].name))
            firstSaved.insert(m_savedVariables[i].name, i);
    }
    for (CSQLVariable &parsed : m_parsedVariables) {
        const auto saved = firstSaved.constFind(parsed.name);
        if (saved != firstSaved.cend())
            parsed = m_savedVariables[*saved];
    }
}

void CVexlorElement::mergeVariables(const std::vector<CSQLVariable> &list)
{
    // Each variable of list removes the first saved variable of its name, which may be a copy
    // appended earlier in this merge, and is appended. Removed entries are marked and dropped at
    // the end, and every name keeps the places of its saved variables in order, so the merge costs
    // the same for a statement with thousands of variables as for one with two.
    std::vector<CSQLVariable> own;
    if (&list == &m_savedVariables)
        own = list; // the saved list is taken apart below
    const std::vector<CSQLVariable> &incoming = &list == &m_savedVariables ? own : list;
    std::vector<std::optional<CSQLVariable>> merged;
    merged.reserve(m_savedVariables.size() + incoming.size());
    QHash<QString, std::deque<size_t>> places; // name → indices in merged, first first
    for (CSQLVariable &var : m_savedVariables) {
        places[var.name].push_back(merged.size());
        merged.emplace_back(std::move(var));
    }
    for (const CSQLVariable &var : incoming) {
        std::deque<size_t> &at = places[var.name];
        if (!at.empty()) {
            merged[at.front()].reset();
            at.pop_front();
        }
        at.push_back(merged.size());
        merged.emplace_back(var);
    }
    m_savedVariables.clear();
    for (std::optional<CSQLVariable> &var : merged) {
        if (var)
            m_savedVariables.push_back(std::move(*var));
    }
}

bool CVexlorElement::clearVariableHistory()
{
    m_parsedVariables.clear();
    m_savedVariables.clear();
    const bool ok = saveConfiguration(true);
    refreshVariables();
    return ok;
}

void CVexlorElement::initNew(const QString &scriptFolder, int number)
{
    m_elementNumber = number;
    m_folderPath = withTrailingSeparator(scriptFolder) + QString::number(number) + QLatin1Char('/');
    m_name = QStringLiteral("SQL Query \u2116 %1").arg(number);
    m_description = QStringLiteral("SQL Query description");
    m_sqlText = QStringLiteral("SELECT * FROM table");
}

QList<const CSQLConnection *> connectionsOf(const CElementList &list)
{
    QList<const CSQLConnection *> out;
    for (const auto &element : list)
        out.append(&element->connection());
    return out;
}

int nextElementNumber(const CElementList &list)
{
    int largest = 0; // never 0 or below: folder 0 (or a negative one next to it) is no new element
    for (const auto &element : list)
        largest = std::max(largest, element->elementNumber());
    if (largest < std::numeric_limits<int>::max())
        return largest + 1;
    // A folder numbered at the top of the range leaves no larger number: take the smallest free
    // one.
    std::vector<int> used;
    for (const auto &element : list)
        used.push_back(element->elementNumber());
    std::sort(used.begin(), used.end());
    int candidate = 1;
    for (int n : used) {
        if (n == candidate)
            ++candidate;
        else if (n > candidate)
            break;
    }
    return candidate;
}

CElementList loadScriptFolder(const QString &scriptFolder,
                              const CVexlorElement::HistoryLimits &limits)
{
    CElementList list;
    const QString folder = CVexlorElement::withTrailingSeparator(scriptFolder);
    const QStringList dirs =
        QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QString &dir : dirs) {
        auto element = std::make_unique<CVexlorElement>();
        if (element->load(folder + dir, limits))
            list.push_back(std::move(element));
    }
    return list;
}
