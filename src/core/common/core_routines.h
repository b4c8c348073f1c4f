#pragma once

#include "core/platform/platform.h"

#include <string>

namespace bp {

class Control;
class Form;
class WindowSystem;

void CenterOnScreen(Form& form, WindowSystem& windows);
void CenterOverWindow(Form& form, const Form& owner);
// A sizeable window's place and client size as kept between runs:
// "left,top,width,height".
std::string placeText(const Form& form);
// Puts the window where placeText said, inside the screen; false when the
// text holds no usable place.
bool restorePlace(Form& form, const std::string& place, WindowSystem& windows);

// A value field governed by a check box: enabled and white while the box is
// ticked, disabled and grey while it is not; its text stays either way.
void setValueField(Control& field, bool enabled);

// Selects a text box's whole text, as a box does when it takes the focus.
void selectAll(Control& c);

// Starts a program, or opens a document or web address with its program,
// and reports a failed start in a message box; the caller goes on either way.
void AppExecute(Platform& platform, const std::string& file, const Arguments& arguments,
                const std::string& workingDir = "");

// Reports a failed start as AppExecute does.
void reportStartFailure(Platform& platform, const std::string& file, StartResult result);

// The reason shown for a failed start.
const char* appExecuteReason(StartResult result);

// A message box with an OK button.
void showMessage(Platform& platform, const std::string& title, const std::string& text,
                 MsgIcon icon);

// Asks a Yes/No question with No as the default; true for Yes.
bool askYesNo(Platform& platform, const std::string& title, const std::string& text, MsgIcon icon);

} // namespace bp
