#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bp {
class Control;
class Form;
} // namespace bp

namespace bp::driver {

// A property as `get` prints it: strings quoted, booleans True/False,
// colours #RRGGBB or buttonface, numbers in decimal. Throws ScriptError for
// an unknown property or an item number out of range.
std::string controlProperty(const Control& control, std::string_view property);

// Caption, Left, Top, Width, Height, Visible of a window; ScriptError else.
std::string formProperty(const Form& form, std::string_view property);

// The window and every control in creation order, with the properties that
// mean something for its kind; list items follow their list, one a line.
std::vector<std::string> dumpForm(const Form& form);

} // namespace bp::driver
