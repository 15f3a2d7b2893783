#pragma once

#include "connections/CSQLConnection.h"
#include "core/CDateTime.h"
#include "elements/CElementAttachments.h"
#include "elements/CSQLVariable.h"
#include "elements/CScreenRect.h"

#include <QList>
#include <QString>

#include <memory>
#include <vector>

class CProfileFile;

// One saved SQL statement as an element folder holds it: name.txt, description.txt, query.sql (text
// in any encoding, written back in the ANSI code page), icon.ico and item.cfg (connection user and
// database, window rectangles, hot key, flags, last start and the remembered variables with their
// history). Folder paths use '/' and end with one once loaded or created. Missing files give
// defaults; writes report whether they worked (lastFailure() names the file that failed) and a
// failed write leaves the old file (every file is replaced atomically).
class CVexlorElement
{
public:
    static constexpr const char kNameFile[] = "name.txt";
    static constexpr const char kDescriptionFile[] = "description.txt";
    static constexpr const char kQueryFile[] = "query.sql";
    static constexpr const char kIconFile[] = "icon.ico";
    static constexpr const char kConfigFile[] = "item.cfg";

    // How much of the remembered variables a load reads: at most maxVars variables in the order
    // stored, and for each the newest maxValues history entries. Writing always writes everything.
    struct HistoryLimits
    {
        int maxVars = 20;   // option MaxVarsInHist
        int maxValues = 20; // option nMaxValuesInHist
    };
    // The limits of the process-wide options MaxVarsInHist and nMaxValuesInHist, brought into
    // their ranges as saving the options would.
    static HistoryLimits optionLimits();

    CVexlorElement() = default; // the defaults of a new, empty element
    // A copy of everything but the attachments (button, icon, result window); used for a test run.
    CVexlorElement(const CVexlorElement &) = default;
    CVexlorElement &operator=(const CVexlorElement &) = default;
    virtual ~CVexlorElement();

    // The number of an element folder: the last path component read as a leading decimal number
    // ("12" → 12, "12a" → 12, "abc" → 0, "-3" → -3); 0 for a path with no separator before it.
    static int elementNumberOfFolder(const QString &folderPath);

    // A folder path with exactly one trailing '/' added when missing (native separators converted).
    static QString withTrailingSeparator(const QString &path);

    // Reads the element folder. False (nothing else read) when the folder's number is 0, i.e. it is
    // no element. A missing or unreadable folder gives an element with the defaults and true.
    // Temporaries that an interrupted save of one of the five files left in the folder (the file's
    // name, '.' and six letters; item.cfg.new of a rewrite) are removed first.
    bool load(const QString &folderPath, const HistoryLimits &limits = optionLimits());

    // Writes the whole folder: creates it (one level) when missing, writes the three text files,
    // copies the icon when the icon path is not already the folder's icon.ico, merges the parsed
    // variables into the saved ones and saves the configuration without rewrite. An element
    // without a folder path writes nothing (true). False when any file could not be written; the
    // others are still written and lastFailure() names the first that failed.
    bool save();

    // Writes item.cfg value by value; keys not written stay. With rewrite the file is replaced by
    // one holding only what is written now (atomically: a failed rewrite leaves the old file).
    // Without save password the connection's password is cleared in memory first. Every text
    // reads back as written (values a read would trim or unquote are quoted once more). False when
    // item.cfg could not be written (lastFailure() is its path).
    bool saveConfiguration(bool rewrite);

    // The path of the file or folder that the last save() or saveConfiguration() failed to write,
    // or "" when it worked.
    const QString &lastFailure() const { return m_lastFailure; }

    // Removes the element folder with everything in it, whatever its depth or path length. Refuses
    // (false) an empty folder path or one whose number is 0; false too when anything could not be
    // removed.
    bool deleteFolder();

    // Rebuilds the parsed variables from the SQL text; each takes every field of the first saved
    // variable of the same name.
    void refreshVariables();

    // Puts a copy of every variable of list into the saved list: the first saved one of the same
    // name (exact comparison) is removed and the copy appended, so the most recently used come
    // last.
    void mergeVariables(const std::vector<CSQLVariable> &list);
    void mergeVariables() { mergeVariables(m_parsedVariables); }

    // "Clear history" of the options: empties both variable lists, rewrites item.cfg and finds the
    // variables of the SQL text again, without values or history. False when item.cfg could not
    // be rewritten (lastFailure() is its path; the old file stays).
    bool clearVariableHistory();

    // Makes this a new, unsaved element number of scriptFolder with the standard name, description
    // and SQL text. Nothing is written until save().
    void initNew(const QString &scriptFolder, int number);

    // Texts.
    const QString &name() const { return m_name; }
    void setName(const QString &v) { m_name = v; }
    const QString &description() const { return m_description; }
    void setDescription(const QString &v) { m_description = v; }
    const QString &sqlText() const { return m_sqlText; }
    void setSqlText(const QString &v) { m_sqlText = v; }
    const QString &folderPath() const { return m_folderPath; }
    // Stores path with its trailing '/' (files are named by appending to it); "" stays "".
    void setFolderPath(const QString &path)
    {
        m_folderPath = path.isEmpty() ? QString() : withTrailingSeparator(path);
    }
    // The file the icon came from, or a chosen file that save() copies into the folder; "" = none.
    const QString &iconPath() const { return m_iconPath; }
    void setIconPath(const QString &v) { m_iconPath = v; }

    CSQLConnection &connection() { return m_connection; }
    const CSQLConnection &connection() const { return m_connection; }
    void setConnection(const CSQLConnection &c) { m_connection = c; }

    const CScreenRect &dbGridRect() const { return m_dbGridRect; }
    void setDbGridRect(const CScreenRect &r) { m_dbGridRect = r; }
    const CScreenRect &sqlEditRect() const { return m_sqlEditRect; }
    void setSqlEditRect(const CScreenRect &r) { m_sqlEditRect = r; }

    int elementNumber() const { return m_elementNumber; }
    void setElementNumber(int v) { m_elementNumber = v; }
    int buttonId() const { return m_buttonId; }
    void setButtonId(int v) { m_buttonId = v; }
    int hkStartSQL() const { return m_hkStartSQL; }
    void setHkStartSQL(int v) { m_hkStartSQL = v; }
    bool showConnection() const { return m_showConnection; }
    void setShowConnection(bool v) { m_showConnection = v; }
    bool showWarning() const { return m_showWarning; }
    void setShowWarning(bool v) { m_showWarning = v; }
    int barPosition() const { return m_barPosition; }
    void setBarPosition(int v) { m_barPosition = v; }
    const CDateTime &lastStart() const { return m_lastStart; }
    void setLastStart(const CDateTime &v) { m_lastStart = v; }

    std::vector<CSQLVariable> &parsedVariables() { return m_parsedVariables; }
    const std::vector<CSQLVariable> &parsedVariables() const { return m_parsedVariables; }
    std::vector<CSQLVariable> &savedVariables() { return m_savedVariables; }
    const std::vector<CSQLVariable> &savedVariables() const { return m_savedVariables; }

    // Button (owned), icon and open result window, attached by the windows.
    CElementAttachments &attachments() { return m_attachments; }
    const CElementAttachments &attachments() const { return m_attachments; }

private:
    void readConfiguration(const CProfileFile &cfg, const HistoryLimits &limits);
    void writeConfiguration(CProfileFile &cfg);
    QString filePath(const char *fileName) const;

    CSQLConnection m_connection; // item.cfg keeps only its user and database
    QString m_name;
    QString m_description;
    QString m_sqlText;
    QString m_folderPath;
    QString m_iconPath;
    CScreenRect m_dbGridRect;      // result window placement
    CScreenRect m_sqlEditRect;     // element editor placement
    int m_elementNumber = -1;      // 0 = the folder is no element
    int m_buttonId = 0;            // control id of the button in the bar
    int m_hkStartSQL = 0;          // global hot key that runs the element; 0 = none
    bool m_showConnection = false; // ask for the connection on every run
    int m_barPosition = -1;        // place in the bar's order
    CDateTime m_lastStart;         // zero date-time until the first run; invalid = none
    bool m_showWarning = false;    // ask before every run
    std::vector<CSQLVariable> m_parsedVariables; // found in the SQL text, values of this run
    std::vector<CSQLVariable> m_savedVariables;  // remembered in item.cfg, most recently used last
    CElementAttachments m_attachments;
    QString m_lastFailure; // file the last save failed to write
};

// The elements of one script folder as the bar owns them, in bar order once sorted.
using CElementList = std::vector<std::unique_ptr<CVexlorElement>>;

// The connection records of list's elements in list order, as
// CConnectionList::mergeElementConnections takes them after a script folder is loaded. The pointers
// live as long as the elements.
QList<const CSQLConnection *> connectionsOf(const CElementList &list);

// The largest element number of list plus 1, or 1 for an empty list; when the largest is the
// top of the int range, the smallest positive number no element has.
int nextElementNumber(const CElementList &list);

// Loads every sub-folder of scriptFolder that is an element (number other than 0), in the order of
// their names. A missing folder gives an empty list.
CElementList
loadScriptFolder(const QString &scriptFolder,
                 const CVexlorElement::HistoryLimits &limits = CVexlorElement::optionLimits());
