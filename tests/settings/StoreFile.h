#pragma once

#include "support/TestFiles.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A temporary folder with a settings file path in it. Each test writes its file as raw text first,
// so the store reads it the way a new process does: every value a string.
class StoreFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path() const { return m_dir.filePath(QStringLiteral("Tarvolo.conf")); }
    void writeStore(const QByteArray &text) { ASSERT_TRUE(testfiles::writeBytes(path(), text)); }
    QByteArray storeText() const { return testfiles::readBytes(path()); }

    QTemporaryDir m_dir;
};
