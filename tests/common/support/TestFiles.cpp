#include "TestFiles.h"

#include <QDir>
#include <QFile>

#include <csignal>

#include <sys/resource.h>

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

FileSizeLimit::FileSizeLimit(unsigned long long bytes)
{
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    m_old = limit.rlim_cur;
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = bytes;
    m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0) {
        limit.rlim_cur = m_old;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::signal(SIGXFSZ, m_oldHandler);
}

} // namespace testfiles
