#include "app/CWelcomeChoice.h"

#include "settings/CScriptFolders.h"

namespace welcome {

Action actionFor(int lastChooseWelcome)
{
    switch (lastChooseWelcome) {
    case 0:
        return Action::LoadSamples;
    case 1:
        return Action::OpenExisting;
    default:
        return Action::ContinueDefault;
    }
}

bool apply(Action action, const QString &folder, CScriptFolders &folders, int &lastChooseWelcome)
{
    switch (action) {
    case Action::LoadSamples:
        folders.add(folder);
        break;
    case Action::OpenExisting:
        if (folder.isEmpty())
            return false;
        folders.add(folder);
        break;
    case Action::ContinueDefault:
        break;
    }
    lastChooseWelcome = static_cast<int>(action);
    return true;
}

} // namespace welcome
