#include "core/CProfileFile.h"
#include "elements/CBarLayout.h"
#include "elements/CVexlorElement.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The shipped sample script folder: every element runs as SCOTT on SAMPLE, remembers no password,
// and its files are exactly what the element writer produces, so a load and save changes no byte.
TEST(SamplesFolderTest, EveryElementLoadsAndSavesUnchanged)
{
    const QString samples = QDir(testfiles::dataPath("../../resources/Samples")).absolutePath();
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QMap<QString, QByteArray> original;
    QDirIterator it(samples, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = QDir(samples).relativeFilePath(path);
        original[rel] = testfiles::readBytes(path);
        QDir(tmp.path()).mkpath(QFileInfo(rel).path());
        ASSERT_TRUE(testfiles::writeBytes(tmp.filePath(rel), original[rel]));
    }
    ASSERT_GE(original.size(), 33);

    CElementList list = loadScriptFolder(tmp.path(), {20, 20});
    ASSERT_EQ(list.size(), 8u);
    CBarLayout layout;
    layout.readOrderMap(tmp.path(), list);
    for (int i = 0; i < 8; ++i) {
        CVexlorElement &e = *list[size_t(i)];
        SCOPED_TRACE(e.folderPath().toStdString());
        EXPECT_EQ(e.elementNumber(), i + 1);
        EXPECT_EQ(e.connection().user(), QStringLiteral("SCOTT"));
        EXPECT_EQ(e.connection().database(), QStringLiteral("SAMPLE"));
        EXPECT_FALSE(e.name().isEmpty());
        EXPECT_FALSE(e.lastStart().isValid());
        EXPECT_TRUE(CProfileFile(e.folderPath() + "item.cfg").keyNames("CONNECTION") ==
                    (QStringList{"Database", "User"}));
        // What the statement uses is exactly what the file remembers.
        ASSERT_EQ(e.parsedVariables().size(), e.savedVariables().size());
        for (size_t v = 0; v < e.parsedVariables().size(); ++v)
            EXPECT_TRUE(e.parsedVariables()[v] == e.savedVariables()[v]);
        e.save();
    }
    EXPECT_EQ(list[0]->parsedVariables()[0].name, QStringLiteral(":DEPTNO"));
    EXPECT_EQ(list[3]->parsedVariables()[0].kind, CSQLVariable::kSubstitution);
    EXPECT_TRUE(list[5]->showWarning());
    for (auto f = original.begin(); f != original.end(); ++f)
        EXPECT_EQ(testfiles::readBytes(tmp.filePath(f.key())), f.value()) << f.key().toStdString();
}

} // namespace
