// The box a user sees when the start-up finds no right to write the
// machine's part of the registry: a standard warning box without an owner.
#pragma once

void ShowRegistryRightsWarning();
