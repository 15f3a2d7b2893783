#pragma once

#include "bar/CVexlorButton.h"
#include "bar/CVexlorDlg.h"
#include "core/CProfileFile.h"
#include "elements/CVexlorElement.h"
#include "settings/CScriptFolders.h"
#include "settings/CSettingsStore.h"
#include "settings/Options.h"
#include "ui/CScriptedPrompt.h"

#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList &l, std::ostream *os)
{
    *os << '{' << l.join(QStringLiteral(" | ")).toStdString() << '}';
}

// A settings store, a script folder and a prompt of the test's own, and a bar over them.
class BarFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        CSettingsStore::useFile(m_dir.filePath(QStringLiteral("Tarvolo.conf")));
        m_folder = m_dir.filePath(QStringLiteral("scripts"));
        ASSERT_TRUE(QDir().mkpath(m_folder));
        resetOptions();
    }
    void TearDown() override
    {
        m_bar.reset();
        CSettingsStore::useFile({});
        resetOptions();
    }
    static void resetOptions()
    {
        options::BtnX = 150;
        options::BtnY = 40;
        options::FixedBarSize = true;
        options::CntBtnX = 8;
        options::CntBtnY = 8;
        options::HideMainDlgOnESC = true;
    }

    // Writes element folder number with the element writer.
    void writeElement(int number, const QString &name, const QString &description = {},
                      const QString &sql = QStringLiteral("SELECT * FROM dept"),
                      const QString &user = {}, const QString &database = {})
    {
        CVexlorElement e;
        e.setFolderPath(QStringLiteral("%1/%2").arg(m_folder).arg(number));
        e.setName(name);
        e.setDescription(description);
        e.setSqlText(sql);
        e.connection().setUser(user);
        e.connection().setDatabase(database);
        e.setLastStart(CDateTime::invalid());
        ASSERT_TRUE(e.save()) << e.lastFailure().toStdString();
    }

    // Copies the build's Samples script folder (without its database) into the script folder.
    void copySamples()
    {
        const QString samples = testfiles::buildDir() + QStringLiteral("/Samples");
        QDirIterator it(samples, QDir::Files, QDirIterator::Subdirectories);
        int copied = 0;
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.endsWith(QLatin1String(".db")))
                continue;
            const QString rel = QDir(samples).relativeFilePath(path);
            QDir(m_folder).mkpath(QFileInfo(rel).path());
            ASSERT_TRUE(QFile::copy(path, QDir(m_folder).filePath(rel)));
            ++copied;
        }
        ASSERT_GT(copied, 8) << "no Samples in " << samples.toStdString();
    }

    CVexlorDlg &openBar(bool hidden = false)
    {
        m_folders.add(m_folder);
        m_bar = std::make_unique<CVexlorDlg>(m_folders, hidden);
        m_bar->setDocumentsPath(m_dir.filePath(QStringLiteral("Documents")));
        EXPECT_TRUE(m_bar->initialise());
        return *m_bar;
    }

    CVexlorButton *button(int index) const
    {
        return m_bar->buttonOf(*m_bar->elements().at(size_t(index)));
    }
    QStringList barNames() const
    {
        QStringList names;
        for (const auto &e : m_bar->elements())
            names << e->name();
        return names;
    }
    static void hover(QWidget *widget, QPoint at = QPoint(5, 5),
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(widget->mapToGlobal(at)),
                         Qt::NoButton, Qt::NoButton, modifiers);
        QApplication::sendEvent(widget, &move);
    }
    QString layoutFile() const { return m_folder + QStringLiteral("/tvl.cfg"); }

    QTemporaryDir m_dir;
    QString m_folder;
    CScriptFolders m_folders;
    CScriptedPrompt m_prompt;
    std::unique_ptr<CVexlorDlg> m_bar;
};
