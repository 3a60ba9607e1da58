// HKEY_LOCAL_MACHINE's volatile part: keys this process holds in memory only, as Windows
// keeps its hardware keys. Every read sees them beside system.reg (a value here hides a
// value of the same name in the file; subkeys are the union, the file's first); no write
// ever puts them into system.reg. They are read-only: a key that exists only here takes
// no values (Set and DeleteValue fail) and Create on it writes nothing.
#pragma once
#include "platform/registry_hive.h"

namespace platform {

// Replaces the whole volatile part (an empty key clears it).
void SetVolatileLocalMachine(hive::Key root);

}  // namespace platform
