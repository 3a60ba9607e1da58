#include "platform/ui/icons.h"

#include <QImageReader>
#include <map>
#include <memory>
#include <optional>

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

}  // namespace

HICON LoadIcon(const resources::ResourceId& id) { return LoadNamedFile(resources::AppResources()->FindIcon(id)); }

HBITMAP LoadBitmap(const resources::ResourceId& id) { return LoadNamedFile(resources::AppResources()->FindBitmap(id)); }

HBITMAP LoadImageFile(const std::string& path) {
  const bool windows_form = path.size() >= 2 && (path[1] == ':' || path[0] == '\\');
  if (!windows_form) return LoadHostFile(path);
  auto host = paths::ToHost(path);
  return host ? LoadHostFile(*host) : nullptr;
}

CSize GetImageSize(const Image* image) {
  if (!image) return {};
  return {image->pixmap.width(), image->pixmap.height()};
}

void SetImageFolders(std::vector<std::filesystem::path> folders) { Folders() = std::move(folders); }

}  // namespace platform::ui
