#include "platform/ui/modal_actions.h"

#include <algorithm>
#include <vector>

namespace platform::ui {

struct ModalActions::State {
  struct Entry {
    bool once;
    DialogMatcher matcher;
    ModalAction action;
  };
  std::vector<Entry> entries;
  int runs = 0;
};

namespace {

std::vector<std::weak_ptr<ModalActions::State>>& Registry() {
  static std::vector<std::weak_ptr<ModalActions::State>> registry;
  return registry;
}

DialogMatcher TemplateIs(const resources::ResourceId& id) {
  return [id](const CDialog& d) { return d.template_id() == id; };
}

}  // namespace

ModalActions::ModalActions() : state_(std::make_shared<State>()) {
  Registry().push_back(state_);
  SetUnattended(true);
}

ModalActions::~ModalActions() {
  std::erase_if(Registry(), [&](const std::weak_ptr<State>& s) { return s.expired() || s.lock() == state_; });
  if (Registry().empty()) SetUnattended(std::nullopt);
}

void ModalActions::On(const resources::ResourceId& template_id, ModalAction action) { Add(false, TemplateIs(template_id), std::move(action)); }
void ModalActions::Once(const resources::ResourceId& template_id, ModalAction action) { Add(true, TemplateIs(template_id), std::move(action)); }

void ModalActions::Add(bool once, DialogMatcher matcher, ModalAction action) {
  state_->entries.push_back({once, std::move(matcher), std::move(action)});
}

int ModalActions::runs() const { return state_->runs; }

namespace detail {

ModalAction TakeModalAction(const CDialog& dialog) {
  // The newest registration first; within one, Once entries before On entries.
  for (auto it = Registry().rbegin(); it != Registry().rend(); ++it) {
    auto state = it->lock();
    if (!state) continue;
    for (bool once : {true, false}) {
      auto& entries = state->entries;
      auto entry = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.once == once && e.matcher(dialog); });
      if (entry == entries.end()) continue;
      ModalAction action = entry->action;
      if (once) entries.erase(entry);
      return [state, action](CDialog& d) {
        ++state->runs;
        action(d);
      };
    }
  }
  return {};
}

}  // namespace detail
}  // namespace platform::ui
