// The error display's application object: command line, language, single instance,
// then the window.
#pragma once
#include "errview/display_inputs.h"
#include "errview/language_tag.h"
#include "platform/win_types.h"

namespace errview {

class CerrviewApp {
 public:
  // The start sequence; always false, so no message loop runs after the window.
  bool InitInstance(int argc, const char* const* argv);
  // Closes the instance mutex; the process exit code.
  int ExitInstance();

  const DisplayInputs& inputs() const { return inputs_; }
  LanguageTag language() const { return language_; }
  platform::HANDLE instance_mutex() const { return instance_mutex_; }

 private:
  // True when this is the only error display; it then holds the mutex.
  bool CheckSingleInstance();

  DisplayInputs inputs_;
  LanguageTag language_ = LANG_ENGLISH;
  platform::HANDLE instance_mutex_ = nullptr;
};

}  // namespace errview
