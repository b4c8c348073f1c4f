#pragma once

#include "core/platform/platform.h"

#include <string>

namespace bp {

class Control;
class Form;
class WindowSystem;

void CenterOnScreen(Form& form, WindowSystem& windows);
void CenterOverWindow(Form& form, const Form& owner);
// A sizeable window's place and client size, kept in the settings store
// (section "Windows", key the form's name) between runs.
void rememberPlace(const Form& form, SettingsStore& store, const std::string& app);
// Puts the window where it was remembered, inside the screen; false when
// nothing usable was remembered.
bool restorePlace(Form& form, SettingsStore& store, const std::string& app, WindowSystem& windows);

// A value field governed by a check box: enabled and white while the box is
// ticked, disabled and grey while it is not; its text stays either way.
void setValueField(Control& field, bool enabled);

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
