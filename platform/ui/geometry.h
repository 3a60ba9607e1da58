// Points, sizes and rectangles, and the fixed metrics that make every window the same
// size on every machine.
//
// Dialog units map to pixels with the base units of the 8-point dialog font at 96 dpi,
// 6 x 13: x = MulDiv(du, 6, 4), y = MulDiv(du, 13, 8), rounded to the nearest pixel as
// the dialog manager does, each edge of a rectangle on its own (so a control's pixel
// width is right - left after mapping, not the mapped width).
// A dialog's window rectangle is its client rectangle with a border of kFrameBorder
// pixels on the left, right and bottom and kFrameBorder + kCaptionHeight at the top.
#pragma once
#include "platform/win_types.h"

namespace platform::ui {

constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;
constexpr int kFrameBorder = 3;
constexpr int kCaptionHeight = 22;
// Height of a drop-down combo box's selection field; its template height is the
// height with the list dropped.
constexpr int kComboBoxHeight = 21;
// Width of an up-down control placed against its buddy (UDS_ALIGNRIGHT / UDS_ALIGNLEFT),
// and the overlap with a bordered buddy.
constexpr int kSpinAlignedWidth = 16;
constexpr int kSpinBuddyOverlap = 2;
// Size an icon static takes.
constexpr int kIconSize = 32;
// Pixel size of the dialog font (DejaVu Sans Condensed; 8 points at 96 dpi).
constexpr int kFontPixelSize = 11;

// number * numerator / denominator rounded half away from zero.
int MulDiv(int number, int numerator, int denominator);
int DialogUnitsToPixelsX(int du);
int DialogUnitsToPixelsY(int du);

struct CPoint {
  int x = 0;
  int y = 0;
  CPoint() = default;
  CPoint(int x_, int y_) : x(x_), y(y_) {}
  void Offset(int dx, int dy) { x += dx, y += dy; }
  friend bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
  int cx = 0;
  int cy = 0;
  CSize() = default;
  CSize(int cx_, int cy_) : cx(cx_), cy(cy_) {}
  friend bool operator==(const CSize&, const CSize&) = default;
};

struct CRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  CRect() = default;
  CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
  CRect(CPoint top_left, CSize size) : left(top_left.x), top(top_left.y), right(top_left.x + size.cx), bottom(top_left.y + size.cy) {}

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return {Width(), Height()}; }
  CPoint TopLeft() const { return {left, top}; }
  CPoint BottomRight() const { return {right, bottom}; }
  bool IsRectEmpty() const { return right <= left || bottom <= top; }
  bool PtInRect(CPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  void SetRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
  void OffsetRect(int dx, int dy) { left += dx, right += dx, top += dy, bottom += dy; }
  void InflateRect(int dx, int dy) { left -= dx, right += dx, top -= dy, bottom += dy; }
  void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
  void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
  friend bool operator==(const CRect&, const CRect&) = default;
};

// A template rectangle (x, y, cx, cy in dialog units) in pixels.
CRect DialogRectToPixels(int x, int y, int cx, int cy);

// The window rectangle around a client rectangle, and back.
CRect WindowRectFromClient(const CRect& client);
CRect ClientRectFromWindow(const CRect& window);

}  // namespace platform::ui
