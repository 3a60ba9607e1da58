#include "resources/resources.h"

#include <algorithm>

namespace resources {
namespace {

template <class Entry>
void ReplaceById(std::vector<Entry>& entries, const std::vector<Entry>& replacements) {
  for (const Entry& replacement : replacements) {
    auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.id == replacement.id; });
    if (it != entries.end()) {
      *it = replacement;
    } else {
      entries.push_back(replacement);
    }
  }
}

template <class Entry>
const Entry* FindById(const std::vector<Entry>& entries, const ResourceId& id) {
  auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.id == id; });
  return it != entries.end() ? &*it : nullptr;
}

std::optional<std::string> FileOf(const FileResource* resource) {
  if (!resource) return std::nullopt;
  return resource->file;
}

}  // namespace

void Resources::Override(const ResourceScript& language) {
  for (const auto& [id, text] : language.strings) script_.strings.insert_or_assign(id, text);
  ReplaceById(script_.dialogs, language.dialogs);
  ReplaceById(script_.icons, language.icons);
  ReplaceById(script_.bitmaps, language.bitmaps);
}

std::string Resources::LoadString(int id) const {
  auto it = script_.strings.find(id);
  return it != script_.strings.end() ? it->second : std::string();
}

bool Resources::HasString(int id) const { return script_.strings.contains(id); }

const DialogTemplate* Resources::FindDialog(const ResourceId& id) const { return FindById(script_.dialogs, id); }

std::optional<std::string> Resources::FindIcon(const ResourceId& id) const {
  return FileOf(FindById(script_.icons, id));
}

std::optional<std::string> Resources::FindBitmap(const ResourceId& id) const {
  return FileOf(FindById(script_.bitmaps, id));
}

}  // namespace resources
