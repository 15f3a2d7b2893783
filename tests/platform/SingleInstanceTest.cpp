#include "platform/CSingleInstance.h"

#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Sends command from another thread, as a later start would, while this thread's event loop lets
// the running instance answer. Returns whether the later start got its answer.
bool sendFromLaterStart(const QString &folder, const QByteArray &command, int timeoutMs = 5000)
{
    std::atomic<int> answer{-1};
    std::thread later([&] {
        CSingleInstance other(folder);
        answer = other.send(command, timeoutMs) ? 1 : 0;
    });
    while (answer < 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    later.join();
    return answer == 1;
}

// The pid of a process that has ended.
qint64 deadPid()
{
    QProcess process;
    process.start(QStringLiteral("true"));
    process.waitForFinished();
    return process.processId() ? process.processId() : 999999;
}

class SingleInstanceTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SingleInstanceTest, OneRunningInstanceAnswersTheCommandsOfLaterStarts)
{
    CSingleInstance first(m_dir.path());
    EXPECT_FALSE(first.otherInstanceRuns());
    ASSERT_TRUE(first.becomeRunningInstance());
    QList<QByteArray> received;
    QObject::connect(&first, &CSingleInstance::commandReceived,
                     [&](const QByteArray &command) { received << command; });

    CSingleInstance second(m_dir.path());
    EXPECT_TRUE(second.otherInstanceRuns());
    EXPECT_FALSE(second.becomeRunningInstance());

    EXPECT_TRUE(sendFromLaterStart(m_dir.path(), "show"));
    EXPECT_TRUE(sendFromLaterStart(m_dir.path(), "close"));
    EXPECT_EQ(received, (QList<QByteArray>{"show", "close"}));
    EXPECT_TRUE(first.socketPath().endsWith(CSingleInstance::baseName()));
    EXPECT_TRUE(CSingleInstance::baseName().startsWith("TARVOLO"));
}

TEST_F(SingleInstanceTest, TheLockGoesWithTheInstance)
{
    {
        CSingleInstance first(m_dir.path());
        ASSERT_TRUE(first.becomeRunningInstance());
    }
    CSingleInstance next(m_dir.path());
    EXPECT_FALSE(next.otherInstanceRuns());
    EXPECT_TRUE(next.becomeRunningInstance());
}

TEST_F(SingleInstanceTest, AKilledInstanceLeavesNothingThatBlocksTheNextStart)
{
    // What a kill -9 leaves: a lock file naming a dead process and a socket file nobody serves.
    CSingleInstance probe(m_dir.path());
    const QByteArray lock =
        QByteArray::number(deadPid()) + "\ntarvolo\n" + QSysInfo::machineHostName().toUtf8() + "\n";
    ASSERT_TRUE(testfiles::writeBytes(probe.lockPath(), lock));
    ASSERT_TRUE(testfiles::writeBytes(probe.socketPath(), "stale"));

    EXPECT_FALSE(probe.otherInstanceRuns());
    CSingleInstance next(m_dir.path());
    ASSERT_TRUE(next.becomeRunningInstance());
    QByteArray received;
    QObject::connect(&next, &CSingleInstance::commandReceived,
                     [&](const QByteArray &command) { received = command; });
    EXPECT_TRUE(sendFromLaterStart(m_dir.path(), "show"));
    EXPECT_EQ(received, "show");
}

TEST_F(SingleInstanceTest, NobodyAnswersWhenNoInstanceRuns)
{
    EXPECT_FALSE(sendFromLaterStart(m_dir.path(), "show", 300));
}

TEST_F(SingleInstanceTest, AnUnusableLockFolderStillLetsTheProgramRun)
{
    CSingleInstance instance(m_dir.filePath("missing/deeper"));
    EXPECT_TRUE(instance.becomeRunningInstance());
}
