#include "oracle_client/CTNS.h"

#include "oci/registry.h"
#include "oracle_client/CTnsNamesReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace {

constexpr char kTnsnames[] = "tnsnames.ora";
constexpr qint64 kMaxInventorySize = 16 * 1024 * 1024;

QString envText(const char *name) { return QString::fromLocal8Bit(qgetenv(name)); }

// Two folder paths name the same folder (symbolic links and trailing separators aside).
bool sameFolder(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

// The inventory folder named by the line inventory_loc=... of oraInst.loc.
QString inventoryFolder(const QString &oraInstLoc)
{
    QFile file(oraInstLoc);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    while (!file.atEnd()) {
        const QString line = QString::fromLocal8Bit(file.readLine(4096)).trimmed();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed() == QLatin1String("inventory_loc"))
            return line.mid(eq + 1).trimmed();
    }
    return {};
}

} // namespace

CTNS::Environment CTNS::fromProcess()
{
    Environment env;
    env.currentFolder = QDir::currentPath();
    env.tnsAdmin = envText("TNS_ADMIN");
    env.oracleHome = envText("ORACLE_HOME");
    const oci::description loaded = oci::registry::oracleClient().describe();
    if (!loaded.version.empty() && !loaded.library.empty())
        env.clientFolder = QFileInfo(QString::fromStdString(loaded.library)).absolutePath();
    return env;
}

QString CTNS::tnsnamesFileIn(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    const QDir dir(folder);
    const QString exact = dir.filePath(QLatin1String(kTnsnames));
    if (QFileInfo(exact).isFile())
        return exact;
    const QStringList entries =
        dir.entryList(QDir::Files | QDir::Readable | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &entry : entries)
        if (entry.compare(QLatin1String(kTnsnames), Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return {};
}

QString CTNS::tnsnamesPath(const Environment &env)
{
    QStringList folders{env.currentFolder, env.tnsAdmin};
    if (!env.oracleHome.isEmpty())
        folders << QDir(env.oracleHome).filePath(QStringLiteral("network/admin"));
    if (!env.clientFolder.isEmpty()) {
        const QDir client(env.clientFolder);
        folders << client.filePath(QStringLiteral("network/admin"))
                << client.filePath(QStringLiteral("../network/admin"));
    }
    for (const QString &folder : folders) {
        const QString path = tnsnamesFileIn(folder);
        if (!path.isEmpty())
            return QDir::cleanPath(path);
    }
    return {};
}

QString CTNS::clientHome(const Environment &env)
{
    if (!env.oracleHome.isEmpty())
        return QDir::cleanPath(env.oracleHome);
    if (env.clientFolder.isEmpty())
        return {};
    const QFileInfo folder(QDir::cleanPath(env.clientFolder));
    if (folder.fileName() == QLatin1String("lib"))
        return folder.absolutePath();
    return folder.absoluteFilePath();
}

QString CTNS::homeName(const Environment &env)
{
    const QString home = clientHome(env);
    if (home.isEmpty())
        return {};
    const QString inventory = inventoryFolder(env.oraInstLoc);
    if (inventory.isEmpty())
        return {};
    QFile file(QDir(inventory).filePath(QStringLiteral("ContentsXML/inventory.xml")));
    if (file.size() > kMaxInventorySize || !file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("HOME"))
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (attributes.value(QLatin1String("REMOVED")) == QLatin1String("T"))
            continue;
        if (sameFolder(attributes.value(QLatin1String("LOC")).toString(), home))
            return attributes.value(QLatin1String("NAME")).toString();
    }
    return {};
}

QStringList CTNS::netServiceNames(const Environment &env)
{
    const QString path = tnsnamesPath(env);
    return path.isEmpty() ? QStringList() : CTnsNamesReader::readFile(path);
}
