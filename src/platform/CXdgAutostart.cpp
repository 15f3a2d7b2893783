#include "platform/CXdgAutostart.h"

#include "core/SaveFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

// Characters that force an Exec argument into double quotes.
bool isReserved(QChar c)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

// Quotes one Exec argument when it needs it; inside quotes ", `, $ and \ take a backslash.
QString quoteArgument(const QString &arg)
{
    if (!arg.isEmpty() && std::none_of(arg.begin(), arg.end(), isReserved))
        return arg;
    QString quoted = QStringLiteral("\"");
    for (QChar c : arg) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted += u'"';
    return quoted;
}

// The escapes of a string value in a desktop entry, applied after the Exec quoting.
QString escapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

CXdgAutostart::CXdgAutostart(const QString &executablePath)
    : m_executablePath(executablePath.isEmpty() ? QCoreApplication::applicationFilePath()
                                                : executablePath)
{
}

QString CXdgAutostart::entryPath()
{
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || QDir::isRelativePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + QStringLiteral("/autostart/tarvolo.desktop");
}

QString CXdgAutostart::execLine(const QString &executablePath)
{
    QString exec = quoteArgument(executablePath);
    exec.replace(u'%', QStringLiteral("%%"));
    return escapeValue(exec) + QStringLiteral(" /hide");
}

QByteArray CXdgAutostart::entryText(const QString &executablePath)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Tarvolo\n"
                                  "Comment=Saved SQL statements for Oracle databases\n"
                                  "Exec=%1\n"
                                  "Terminal=false\n")
                       .arg(execLine(executablePath));
    return text.toUtf8();
}

bool CXdgAutostart::setEnabled(bool enabled)
{
    const QString path = entryPath();
    if (!enabled)
        return !QFileInfo::exists(path) || QFile::remove(path);

    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = entryText(m_executablePath);
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    return savefile::commit(file);
}

bool CXdgAutostart::isEnabled() const { return QFileInfo::exists(entryPath()); }
