#include "bar/CElementTipText.h"

#include "elements/CVexlorElement.h"

#include <gtest/gtest.h>

namespace {

TEST(ElementTipTextTest, ToolTextFollowsConnectionDescriptionAndLastStart)
{
    CVexlorElement e;
    e.setLastStart(CDateTime::invalid());
    e.setDescription(QStringLiteral("Employees of a department"));
    // No user: the description alone.
    EXPECT_EQ(elementTipText::toolText(e), QStringLiteral("Employees of a department"));

    e.connection().setUser(QStringLiteral("SCOTT"));
    e.connection().setDatabase(QStringLiteral("ORCL"));
    EXPECT_EQ(elementTipText::toolText(e),
              QStringLiteral("Connection string: SCOTT@ORCL\nEmployees of a department"));
    e.setDescription({});
    EXPECT_EQ(elementTipText::toolText(e), QStringLiteral("Connection string: SCOTT@ORCL"));

    e.setLastStart(CDateTime::parse(QStringLiteral("07.03.2024 09:05:01")));
    ASSERT_TRUE(e.lastStart().isValid());
    EXPECT_EQ(elementTipText::toolText(e),
              QStringLiteral("Connection string: SCOTT@ORCL\nLast start: 07.03.2024 09:05:01"));
}

TEST(ElementTipTextTest, SqlPreviewKeepsAtMostFifteenLines)
{
    QStringList forty;
    for (int i = 1; i <= 40; ++i)
        forty << QStringLiteral("line %1").arg(i);
    const QString preview = elementTipText::sqlPreview(forty.join(u'\n'));
    EXPECT_EQ(preview, forty.mid(0, 15).join(u'\n'));

    const QString three = QStringLiteral("SELECT *\r\nFROM emp\r\nWHERE deptno = :d");
    EXPECT_EQ(elementTipText::sqlPreview(three), three);

    // Windows and old Mac line ends count once each.
    QStringList crlf;
    for (int i = 1; i <= 20; ++i)
        crlf << QStringLiteral("l%1").arg(i);
    EXPECT_EQ(elementTipText::sqlPreview(crlf.join(QStringLiteral("\r\n"))),
              crlf.mid(0, 15).join(QStringLiteral("\r\n")));
    EXPECT_EQ(elementTipText::sqlPreview(crlf.join(u'\r')), crlf.mid(0, 15).join(u'\r'));
    EXPECT_EQ(elementTipText::sqlPreview(QString()), QString());
}

} // namespace
