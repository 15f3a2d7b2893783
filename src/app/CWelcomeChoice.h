#pragma once

#include <QString>

class CScriptFolders;

// What the welcome dialog does with the user's choice, without the dialog.
namespace welcome {

// The three choices, numbered as LastChooseWelcome stores them.
enum class Action { LoadSamples = 0, OpenExisting = 1, ContinueDefault = 2 };

// The choice to preselect for a stored LastChooseWelcome: 0 and 1 as stored, anything else the
// default folder.
Action actionFor(int lastChooseWelcome);

// Carries out action on folders: LoadSamples and OpenExisting add folder (the Samples folder, the
// folder the user chose), ContinueDefault leaves the list alone. Sets lastChooseWelcome to the
// action's number. False, changing nothing, for OpenExisting without a folder (the user cancelled
// the folder browser).
bool apply(Action action, const QString &folder, CScriptFolders &folders, int &lastChooseWelcome);

} // namespace welcome
