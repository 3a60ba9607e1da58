// Named mutexes shared by the processes of one user: a file under the user's runtime
// directory ($XDG_RUNTIME_DIR, else the temporary folder) locked with flock, so the
// name is released when the holding process dies.
#pragma once
#include <string_view>

#include "platform/win_types.h"

namespace platform {

// Creates or opens the named mutex. The last error is ERROR_ALREADY_EXISTS when some
// process (this one included) already holds an object of that name, else 0.
// Returns nullptr when the object cannot be created at all.
HANDLE CreateMutex(bool initial_owner, std::string_view name);

}  // namespace platform
