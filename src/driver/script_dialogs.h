#pragma once

#include "core/platform/platform.h"

#include <deque>
#include <optional>
#include <string>

namespace bp::driver {

class Output;

// One answer queued by `answer`, for the next dialog that comes.
struct Answer {
    enum class Kind { Button, Cancel, File, Color };
    Kind kind = Kind::Cancel;
    MsgAnswer button = MsgAnswer::OK; // Button
    std::string path;                 // File
    Rgb color;                        // Color
    int line = 0;                     // where the script queued it
    std::string text;                 // as written, for messages
};

// Message boxes and common dialogs answered from the script's queue. An
// unanswered message box takes its default button, an unanswered dialog is
// cancelled; an answer that does not fit the dialog ends the script.
class ScriptDialogs : public Dialogs {
  public:
    explicit ScriptDialogs(Output& out) : m_out(out) {}

    void queue(Answer answer) { m_answers.push_back(std::move(answer)); }
    // The first answer no dialog took, if any.
    const Answer* unused() const { return m_answers.empty() ? nullptr : &m_answers.front(); }

    MsgAnswer messageBox(const MessageBoxRequest& request) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
    std::optional<Rgb> colorDialog(Rgb initial) override;

  private:
    std::optional<Answer> take();
    [[noreturn]] void misfit(const Answer& answer, const std::string& shown, const char* dialog);

    Output& m_out;
    std::deque<Answer> m_answers;
};

const char* answerText(MsgAnswer answer);
std::string colorText(Rgb color); // #RRGGBB

} // namespace bp::driver
