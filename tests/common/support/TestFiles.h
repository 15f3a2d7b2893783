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

// The build folder (where Samples/SAMPLE.db is built): $TARVOLO_BUILD_DIR, else the one this test was
// configured in.
QString buildDir();

} // namespace testfiles
