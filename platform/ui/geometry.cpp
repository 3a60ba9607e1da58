#include "platform/ui/geometry.h"

#include <cstdint>

namespace platform::ui {

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const int64_t product = static_cast<int64_t>(number) * numerator;
  const int64_t half = (denominator > 0 ? denominator : -denominator) / 2;
  const bool negative = (product < 0) != (denominator < 0);
  const int64_t magnitude = ((product < 0 ? -product : product) + half) / (denominator > 0 ? denominator : -denominator);
  return static_cast<int>(negative ? -magnitude : magnitude);
}

int DialogUnitsToPixelsX(int du) { return MulDiv(du, kBaseUnitX, 4); }
int DialogUnitsToPixelsY(int du) { return MulDiv(du, kBaseUnitY, 8); }

CRect DialogRectToPixels(int x, int y, int cx, int cy) {
  return {DialogUnitsToPixelsX(x), DialogUnitsToPixelsY(y), DialogUnitsToPixelsX(x + cx), DialogUnitsToPixelsY(y + cy)};
}

CRect WindowRectFromClient(const CRect& client) {
  return {client.left - kFrameBorder, client.top - kFrameBorder - kCaptionHeight, client.right + kFrameBorder,
          client.bottom + kFrameBorder};
}

CRect ClientRectFromWindow(const CRect& window) {
  return {window.left + kFrameBorder, window.top + kFrameBorder + kCaptionHeight, window.right - kFrameBorder,
          window.bottom - kFrameBorder};
}

}  // namespace platform::ui
