#pragma once

#include <QString>

#include <functional>

// The Samples script folder the welcome dialog opens. The program's own Samples folder is used as
// it is where the user may write into it (a build tree, a program in the user's home). Where it is
// not writable (an installed program), it is copied once into a folder of the user's, and the copy
// is used from then on; an existing copy is never overwritten, so what the user changed stays.
class CSamplesFolder
{
public:
    struct Result
    {
        QString folder; // the folder to use, ending in '/'
        QString error;  // why a needed copy failed (the program's folder is used then); else empty
    };

    // programFolder: the program's Samples folder; copyFolder: where a copy goes.
    CSamplesFolder(const QString &programFolder, const QString &copyFolder);
    // The program's Samples (next to the executable or in <prefix>/share/tarvolo) and
    // <AppLocalDataLocation>/Samples.
    CSamplesFolder();

    // Replaces the writability test (QFileInfo::isWritable of the folder); for tests.
    void setWritableTest(std::function<bool(const QString &folder)> test);

    // Settles the folder to use, copying when needed.
    Result resolve() const;

    const QString &programFolder() const { return m_programFolder; }
    const QString &copyFolder() const { return m_copyFolder; }

    // Copies the folder source with everything in it to target, which must not exist; a failed copy
    // leaves no partial target behind. False with error set when it failed.
    static bool copyTree(const QString &source, const QString &target, QString *error);

private:
    QString m_programFolder;
    QString m_copyFolder;
    std::function<bool(const QString &)> m_writable;
};
