// The settings file that may stand in for the command line: scUtil.ini in the current
// directory, section errview.
#pragma once
#include <string>
#include <string_view>

#include "errview/display_inputs.h"

namespace errview {

// "\r\n" written out (four characters) to a carriage return and line feed.
std::string LineBreaksFromProfile(std::string_view text);

// Every key of the section with a non-empty value (at most 259 characters) replaces
// its input. file_name is a Windows path. False, with the inputs unchanged, when the
// file does not exist.
bool ApplySettingsOverride(DisplayInputs& inputs, const std::string& file_name);

// scUtil.ini in the process's current directory, in Windows form.
std::string CurrentFolderSettingsFile();

}  // namespace errview
