#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Small helpers for tests that build files byte by byte and read them back.
namespace testfiles {

// Writes bytes to path exactly as given; returns false when the file cannot be written.
bool writeBytes(const QString &path, const QByteArray &bytes);

// The whole content of path, or an empty array when it cannot be read.
QByteArray readBytes(const QString &path);

// A file of tests/data, found through $TARVOLO_TEST_DATA, else in the source tree.
QString dataPath(const QString &relative);

// The build folder (where Samples/SAMPLE.db is built): $TARVOLO_BUILD_DIR, else the one this test
// was configured in.
QString buildDir();

// A full disk for its lifetime: every write past bytes fails, as a file-size limit makes it
// (RLIMIT_FSIZE, with SIGXFSZ ignored so the write reports the failure). It stops a privileged
// user too, where a read-only folder does not.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(unsigned long long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool active() const { return m_active; } // the limit could be set

private:
    unsigned long long m_old = 0;
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

} // namespace testfiles
