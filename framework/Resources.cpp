// Searching menus for a command.
#include "framework/Resources.h"

namespace fw {

MenuItem *MenuItem::find(int commandId)
{
    if (id == commandId && !isPopup() && commandId != 0)
        return this;
    for (auto &item : items)
        if (auto *found = item.find(commandId))
            return found;
    return nullptr;
}

MenuItem *Menu::find(int commandId)
{
    for (auto &item : items)
        if (auto *found = item.find(commandId))
            return found;
    return nullptr;
}

} // namespace fw
