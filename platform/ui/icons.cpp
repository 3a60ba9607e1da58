#include "platform/ui/icons.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QStyle>
#include <map>
#include <memory>
#include <optional>
#include <span>

#include "platform/bitmap_file.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/detail/image.h"
#include "resources/app_resources.h"

namespace platform::ui {
namespace {

std::optional<std::vector<std::filesystem::path>>& Folders() {
  static std::optional<std::vector<std::filesystem::path>> folders;
  return folders;
}

std::vector<std::filesystem::path> SearchFolders() {
  if (Folders()) return *Folders();
  std::vector<std::filesystem::path> folders;
  if (auto program = paths::ToHost(paths::ProgramFolder())) {
    folders.push_back(*program);
    folders.push_back(*program / "images");
  }
  return folders;
}

// Loaded images live for the process, so handles stay valid.
std::map<std::string, std::unique_ptr<Image>>& Cache() {
  static std::map<std::string, std::unique_ptr<Image>> cache;
  return cache;
}

const Image* LoadHostFile(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return nullptr;
  const std::string key = file.string();
  auto it = Cache().find(key);
  if (it != Cache().end()) return it->second.get();
  EnsureApplication();
  QImageReader reader(QString::fromStdString(key));
  const QImage image = reader.read();
  if (image.isNull()) return nullptr;
  auto entry = std::make_unique<Image>();
  entry->pixmap = QPixmap::fromImage(image);
  return Cache().emplace(key, std::move(entry)).first->second.get();
}

const Image* LoadNamedFile(const std::optional<std::string>& file) {
  if (!file) return nullptr;
  for (const auto& folder : SearchFolders())
    if (const Image* image = LoadHostFile(folder / *file)) return image;
  return nullptr;
}

// A Windows path through the drive mapping; anything else as the host path it is.
std::optional<std::filesystem::path> HostPath(const std::string& path) {
  const bool windows_form = path.size() >= 2 && (path[1] == ':' || path[0] == '\\');
  if (!windows_form) return std::filesystem::path(path);
  return paths::ToHost(path);
}

// The largest bitmap accepted with its headers and a full colour table.
constexpr size_t kMaxBitmapFileBytes = platform::kMaxBitmapPixels * 4 + 4096;

}  // namespace

CBitmap::CBitmap() = default;
CBitmap::~CBitmap() = default;

bool CBitmap::LoadFromFile(const std::string& path) {
  DeleteObject();
  const std::optional<std::filesystem::path> host = HostPath(path);
  std::error_code ec;
  if (!host || !std::filesystem::is_regular_file(*host, ec)) return false;
  const std::optional<std::string> bytes = files::ReadFileUpTo(*host, kMaxBitmapFileBytes + 1);
  if (!bytes || bytes->size() > kMaxBitmapFileBytes) return false;
  const std::span<const uint8_t> file(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
  const std::optional<platform::BitmapLayout> layout = platform::ReadBitmapLayout(file);
  if (!layout) return false;
  EnsureApplication();
  // Decoded straight into the image the pixmap takes over.
  QImage image(layout->width, layout->height, QImage::Format_RGB32);
  if (image.isNull()) return false;
  platform::DecodeBitmapPixels(file, *layout, reinterpret_cast<uint32_t*>(image.bits()),
                               static_cast<size_t>(image.bytesPerLine()) / 4);
  image_ = std::make_unique<Image>();
  image_->pixmap = QPixmap::fromImage(std::move(image));
  return true;
}

void CBitmap::DeleteObject() { image_.reset(); }

HBITMAP CBitmap::handle() const { return image_.get(); }

HICON LoadIcon(const resources::ResourceId& id) { return LoadNamedFile(resources::AppResources()->FindIcon(id)); }

HICON LoadSystemIcon(int idi) {
  static std::map<int, std::unique_ptr<Image>> icons;
  if (auto it = icons.find(idi); it != icons.end()) return it->second.get();
  QStyle::StandardPixmap kind;
  switch (idi) {
    case IDI_HAND: kind = QStyle::SP_MessageBoxCritical; break;
    case IDI_QUESTION: kind = QStyle::SP_MessageBoxQuestion; break;
    case IDI_EXCLAMATION: kind = QStyle::SP_MessageBoxWarning; break;
    case IDI_ASTERISK: kind = QStyle::SP_MessageBoxInformation; break;
    default: return nullptr;
  }
  EnsureApplication();
  auto image = std::make_unique<Image>();
  image->pixmap = QApplication::style()->standardIcon(kind).pixmap(kIconSize, kIconSize);
  return icons.emplace(idi, std::move(image)).first->second.get();
}

HBITMAP LoadBitmap(const resources::ResourceId& id) { return LoadNamedFile(resources::AppResources()->FindBitmap(id)); }

HBITMAP LoadImageFile(const std::string& path) {
  const std::optional<std::filesystem::path> host = HostPath(path);
  return host ? LoadHostFile(*host) : nullptr;
}

CSize GetImageSize(const Image* image) {
  if (!image) return {};
  return {image->pixmap.width(), image->pixmap.height()};
}

void SetImageFolders(std::vector<std::filesystem::path> folders) { Folders() = std::move(folders); }

}  // namespace platform::ui
