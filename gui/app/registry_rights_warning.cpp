#include "gui/app/registry_rights_warning.h"

#include <windows.h>

namespace {

const char kNoRegistryRights[] =
    "Currently logged in user does not have rights to access the registry.\nThe appliction will "
    "work only if the user has Standard User or Administrator rights on the machine!";

} // namespace

void ShowRegistryRightsWarning() {
    ::MessageBoxA(nullptr, kNoRegistryRights, "Sulvantix r", MB_ICONWARNING);
}
