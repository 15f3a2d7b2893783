#pragma once

#include "settings/CFontLS.h"

#include <QString>

#include <optional>
#include <span>
#include <variant>
#include <vector>

class CSettingsStore;
class IAutostart;

// The program-wide options, named exactly as they are stored in the section "Options". They hold
// their defaults from process start; load() and save() move them to and from the store. Modules
// read and write them directly on the UI thread.
namespace options {

inline bool StartWithStartUp = true; // keep the autostart entry
inline int GridHeight = 20;          // result grid row height in pixels
inline int ReadBufferSize = 500;     // rows fetched per read into the result grid
inline CFontLS FontGrid;             // result grid font and text colour
inline bool SizeToHeader = false;    // column sizing: true = to the heading, false = to the data
inline int MaxColWidth = 999;        // largest automatic column width in pixels
inline bool ShowWelcomeDlg = true;   // show the welcome dialog at start-up
inline CFontLS FontEditorDefault;    // the five editor fonts are only loaded and saved
inline CFontLS FontEditorString;
inline CFontLS FontEditorComment;
inline CFontLS FontEditorReservedWord;
inline CFontLS FontEditorFunction;
inline int BtnX = 150;           // element button width in pixels
inline int BtnY = 40;            // element button height in pixels
inline bool FixedBarSize = true; // the bar keeps a fixed size in elements
inline int CntBtnX = 8;          // bar width in elements
inline int CntBtnY = 8;          // bar height in elements
inline int LastChooseWelcome =
    0; // welcome dialog: 0 sample folder, 1 existing folder, 2 default folder
inline int HkShowMainDlg = 0; // hot key that shows the bar: low byte key code, next byte modifiers
inline int DateFormat = 0;    // index of the date display format
inline int TimeFormat = 0;    // index of the time display format
inline bool HideMainDlgOnESC = true;     // Esc hides the bar
inline bool EnableDBMSOutput = true;     // collect DBMS_OUTPUT lines after a run
inline int DBMSOutputBufferSize = 10000; // DBMS_OUTPUT buffer size in bytes
inline CFontLS FontDBMSOutput;           // font and colour of the DBMS output pane
inline int MaxVarsInHist = 20;           // most bind variables kept in the value history
inline int nMaxValuesInHist = 20;        // most values kept per variable

// The range saving brings an integer into.
struct CRange
{
    int lowest;
    int highest;
};

// One option: its stored name, its value, its default and, for integers, the clamp on save.
struct COptionDef
{
    const char *name;
    std::variant<bool *, int *, CFontLS *> value;
    int defaultValue;            // boolean or integer default; a font option's preset colour
    std::optional<CRange> clamp; // integers only
    bool courierDefault =
        false; // font option with the "Courier New" default instead of the generic
};

// Every option in the order in which it is loaded and saved.
std::span<const COptionDef> table();

// Reads every option with its default (no clamping), then renews or removes the autostart entry.
void load(const CSettingsStore &store, IAutostart &autostart);
// Clamps the integers in memory, writes every option, updates the autostart entry and syncs the
// store; false when the store could not be written.
bool save(CSettingsStore &store, IAutostart &autostart);
// Brings each integer with a clamp into its range, lower bound first.
void clamp();

// The clamp range the table gives the integer option (one of the variables above), if any.
std::optional<CRange> clampOf(const int &option);
// The option's value brought into its clamp range, lower bound first, as saving would store it;
// the value itself for an option without a range. The option is not changed. Code that uses an
// option reads it through this, so no range is written anywhere but in the table.
int clamped(const int &option);

// Saves the value of every option of the table and restores them all when it is destroyed. Tests
// that change options hold one, so that a failing assertion cannot leave its values to the tests
// that follow.
class CRestoreOptions
{
public:
    CRestoreOptions();
    ~CRestoreOptions();
    CRestoreOptions(const CRestoreOptions &) = delete;
    CRestoreOptions &operator=(const CRestoreOptions &) = delete;

private:
    std::vector<std::variant<bool, int, CFontLS>> m_values; // in table order
};
// Writes or removes the autostart entry according to StartWithStartUp; false when that failed.
bool updateAutostart(IAutostart &autostart);

// The program's store and the XDG autostart entry of the running executable.
void load();
bool save();

} // namespace options
