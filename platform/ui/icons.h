// Icons and bitmaps of the program's resources. A resource names an image file; the
// file is looked for in the image folders (by default the program's folder and its
// `images` subfolder). A missing or unreadable file gives a null handle.
#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/geometry.h"
#include "platform/ui/wnd.h"
#include "resources/resource_script.h"

namespace platform::ui {

HICON LoadIcon(const resources::ResourceId& id);
// The system's own icons (LoadIcon with a null instance).
constexpr int IDI_HAND = 32513;
constexpr int IDI_QUESTION = 32514;
constexpr int IDI_EXCLAMATION = 32515;
constexpr int IDI_ASTERISK = 32516;
HICON LoadSystemIcon(int idi);
HBITMAP LoadBitmap(const resources::ResourceId& id);
// An image file by its path (Windows form or host path); null when it cannot be read.
HBITMAP LoadImageFile(const std::string& path);
CSize GetImageSize(const Image* image);

// A bitmap file (.bmp, see platform/bitmap_file.h) loaded for drawing, as LoadImage
// with LR_LOADFROMFILE: it is read anew on every load and released with the object
// (DeleteObject), so a window must keep it while a control shows it.
class CBitmap {
 public:
  CBitmap();
  ~CBitmap();
  CBitmap(const CBitmap&) = delete;
  CBitmap& operator=(const CBitmap&) = delete;

  // path: Windows form or host path. False (and no bitmap) when the file is missing,
  // too large or not a bitmap.
  bool LoadFromFile(const std::string& path);
  void DeleteObject();
  // Null when nothing is loaded.
  HBITMAP handle() const;
  CSize GetSize() const { return GetImageSize(handle()); }

 private:
  std::unique_ptr<Image> image_;
};

void SetImageFolders(std::vector<std::filesystem::path> folders);

}  // namespace platform::ui
