// Driving modal dialogs from tests: an action registered for a dialog class or a
// template id runs inside the dialog's modal loop once the dialog is initialised and
// shown. It reads and drives the dialog through the user-input functions
// (user_input.h) and usually ends it (clicking OK, Cancel, ...). A dialog its action
// leaves open is ended with IDCANCEL when the action returns, without OnCancel, and
// recorded in UnattendedDialogs(). Actions may open nested dialogs, which run their own
// actions.
#pragma once
#include <functional>
#include <memory>

#include "platform/ui/dialog.h"

namespace platform::ui {

using ModalAction = std::function<void(CDialog&)>;
using DialogMatcher = std::function<bool(const CDialog&)>;

// Actions registered for the lifetime of the object; the dialogs they do not match
// keep the unattended rule. Registering makes the run unattended while it lives.
class ModalActions {
 public:
  ModalActions();
  ~ModalActions();
  ModalActions(const ModalActions&) = delete;
  ModalActions& operator=(const ModalActions&) = delete;

  // Every dialog built from the template.
  void On(const resources::ResourceId& template_id, ModalAction action);
  // The next dialog built from the template only (queued before the On actions).
  void Once(const resources::ResourceId& template_id, ModalAction action);
  // Every dialog of class D.
  template <class D>
  void On(std::function<void(D&)> action) {
    Add(false, [](const CDialog& d) { return dynamic_cast<const D*>(&d) != nullptr; },
        [action](CDialog& d) { action(dynamic_cast<D&>(d)); });
  }
  template <class D>
  void Once(std::function<void(D&)> action) {
    Add(true, [](const CDialog& d) { return dynamic_cast<const D*>(&d) != nullptr; },
        [action](CDialog& d) { action(dynamic_cast<D&>(d)); });
  }
  void Add(bool once, DialogMatcher matcher, ModalAction action);
  // How many times actions ran.
  int runs() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

namespace detail {
// The action for a dialog that is starting its loop; empty when none.
ModalAction TakeModalAction(const CDialog& dialog);
}

}  // namespace platform::ui
