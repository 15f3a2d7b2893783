#include "TestFiles.h"

#include <QDir>
#include <QFile>

namespace testfiles {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString dataPath(const QString &relative)
{
    QString root = qEnvironmentVariable("TARVOLO_TEST_DATA");
    if (root.isEmpty())
        root = QStringLiteral(TARVOLO_SOURCE_DIR "/tests/data");
    return QDir(root).filePath(relative);
}

QString buildDir()
{
    const QString fromEnv = qEnvironmentVariable("TARVOLO_BUILD_DIR");
    return fromEnv.isEmpty() ? QStringLiteral(TARVOLO_BINARY_DIR) : fromEnv;
}

} // namespace testfiles
