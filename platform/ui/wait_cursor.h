// The wait cursor: shown while at least one CWaitCursor lives or BeginWaitCursor is
// not yet matched by EndWaitCursor.
#pragma once

namespace platform::ui {

void BeginWaitCursor();
void EndWaitCursor();
// How many wait cursors are in force (0: the normal cursor).
int WaitCursorDepth();

class CWaitCursor {
 public:
  CWaitCursor() { BeginWaitCursor(); }
  ~CWaitCursor() { EndWaitCursor(); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  // Shows the wait cursor again after something (a message box) reset it.
  void Restore();
};

}  // namespace platform::ui
