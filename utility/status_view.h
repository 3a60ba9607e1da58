// What the status monitoring needs from the window that shows it.
#pragma once
#include <string>

namespace utility {

// The status texts the window keeps and shows.
struct StatusDisplay {
  std::string status;  // the status box
  std::string part1;   // "TT767" while a flatbed error shows
  std::string part2;   // short code
  std::string part3;   // status code, eight hex digits
  bool error = false;  // the status box is red
};

class StatusView {
 public:
  virtual ~StatusView() = default;
  // Writes the stored texts into the controls.
  virtual void UpdateStatusControls() = 0;
  virtual void LayoutErrorCode(bool with_part1) = 0;
  // Parts 2 and 3 enabled exactly while not empty, part 1 disabled while empty.
  virtual void UpdatePartStates() = 0;
  virtual void DisableParts() = 0;
  virtual void InformationRefresh() = 0;
  virtual bool IsForeground() = 0;
  virtual void FlashTaskbar() = 0;
  virtual void StartStatusTimer(unsigned ms) = 0;
  virtual void StopStatusTimer() = 0;
  virtual bool StatusTimerRunning() = 0;
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
  virtual void InvalidateWindow() = 0;
};

}  // namespace utility
