#pragma once

#include <string>

namespace bp {

class App;
class Form;
struct Platform;
class WindowSystem;

void CenterOnScreen(Form& form, WindowSystem& windows);
void CenterOverWindow(Form& form, const Form& owner);
void UnloadAllWindows(App& app);

// Starts a program, or opens a document or web address with its program,
// and reports a failed start in a message box; the caller goes on either way.
void AppExecute(Platform& platform, const std::string& file, const std::string& parameters,
                const std::string& workingDir = "");

// The reason shown for a failed start's result code.
const char* appExecuteReason(int result);

} // namespace bp
