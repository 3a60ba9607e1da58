// Every caption of every template of the utility is shown whole at the dialog font,
// and so are the captions the window puts into its buttons at run time.
#include <gtest/gtest.h>

#include "platform/ui/caption_fit.h"
#include "resources/builtin_scripts.h"
#include "resources/script_parser.h"
#include "utility/control_ids.h"

namespace utility {
namespace {

const resources::ResourceScript& Script() {
  static const resources::ResourceScript script = *resources::ParseResourceScript(resources::ScanutilScript()).script;
  return script;
}

TEST(TemplateCaptionsTest, EveryTemplateCaptionFits) {
  int checked = 0;
  for (const resources::DialogTemplate& dialog : Script().dialogs) {
    for (const resources::ControlTemplate& control : dialog.controls) {
      if (const auto overflow = platform::ui::CaptionOverflow(control, control.text))
        ADD_FAILURE() << "template " << dialog.id.number << dialog.id.name << " control " << control.id << " \""
                      << control.text << "\": " << *overflow;
      ++checked;
    }
  }
  EXPECT_GT(checked, 100);  // the script was read
}

TEST(TemplateCaptionsTest, RunTimeButtonCaptionsFit) {
  struct Case {
    int control;
    int string;
  } const cases[] = {
      {id::kUserShading, 3204}, {id::kUserShading, 3234}, {id::kPaperBuzzer, 3236}, {id::kPaperBuzzer, 3237}};
  const resources::DialogTemplate* main = nullptr;
  for (const auto& dialog : Script().dialogs)
    if (dialog.id.number == 102) main = &dialog;
  ASSERT_NE(main, nullptr);
  for (const Case& c : cases) {
    const resources::ControlTemplate* button = main->FindControl(c.control);
    ASSERT_NE(button, nullptr);
    const std::string text = Script().strings.at(c.string);
    if (const auto overflow = platform::ui::CaptionOverflow(*button, text))
      ADD_FAILURE() << "button " << c.control << " \"" << text << "\": " << *overflow;
  }
}

}  // namespace
}  // namespace utility
