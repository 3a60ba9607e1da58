// Icons and bitmaps of the program's resources. A resource names an image file; the
// file is looked for in the image folders (by default the program's folder and its
// `images` subfolder). A missing or unreadable file gives a null handle.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui/geometry.h"
#include "platform/ui/wnd.h"
#include "resources/resource_script.h"

namespace platform::ui {

HICON LoadIcon(const resources::ResourceId& id);
HBITMAP LoadBitmap(const resources::ResourceId& id);
// An image file by its path (Windows form or host path); null when it cannot be read.
HBITMAP LoadImageFile(const std::string& path);
CSize GetImageSize(const Image* image);

void SetImageFolders(std::vector<std::filesystem::path> folders);

}  // namespace platform::ui
