#include "driver/script_dialogs.h"

#include "driver/output.h"

#include <cstdio>

namespace bp::driver {

namespace {

const char* iconText(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None:
        return "none";
    case MsgIcon::Critical:
        return "critical";
    case MsgIcon::Exclamation:
        return "exclamation";
    case MsgIcon::Information:
        return "information";
    case MsgIcon::Question:
        return "question";
    }
    return "none";
}

const char* buttonsText(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OK:
        return "OK";
    case MsgButtons::OKCancel:
        return "OKCancel";
    case MsgButtons::YesNo:
        return "YesNo";
    case MsgButtons::YesNoCancel:
        return "YesNoCancel";
    }
    return "OK";
}

bool offers(MsgButtons buttons, MsgAnswer answer) {
    switch (buttons) {
    case MsgButtons::OK:
        return answer == MsgAnswer::OK;
    case MsgButtons::OKCancel:
        return answer == MsgAnswer::OK || answer == MsgAnswer::Cancel;
    case MsgButtons::YesNo:
        return answer == MsgAnswer::Yes || answer == MsgAnswer::No;
    case MsgButtons::YesNoCancel:
        return answer != MsgAnswer::OK;
    }
    return false;
}

} // namespace

const char* answerText(MsgAnswer answer) {
    switch (answer) {
    case MsgAnswer::OK:
        return "OK";
    case MsgAnswer::Cancel:
        return "Cancel";
    case MsgAnswer::Yes:
        return "Yes";
    case MsgAnswer::No:
        return "No";
    }
    return "OK";
}

std::string colorText(Rgb color) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", color.r & 0xFF, color.g & 0xFF, color.b & 0xFF);
    return buf;
}

std::optional<Answer> ScriptDialogs::take() {
    if (m_answers.empty())
        return std::nullopt;
    Answer a = std::move(m_answers.front());
    m_answers.pop_front();
    return a;
}

void ScriptDialogs::misfit(const Answer& answer, const std::string& shown, const char* dialog) {
    m_out.line(shown + " -> ?");
    m_out.fail(answer.line, "answer " + answer.text + " does not fit the " + dialog + " that came");
}

MsgAnswer ScriptDialogs::messageBox(const MessageBoxRequest& request) {
    const std::string shown = "! msgbox title=" + quoted(request.title) +
                              " text=" + quoted(request.text) + " icon=" + iconText(request.icon) +
                              " buttons=" + buttonsText(request.buttons) +
                              " default=" + answerText(request.defaultButton);
    MsgAnswer result = request.defaultButton;
    if (auto a = take()) {
        const MsgAnswer button = a->kind == Answer::Kind::Cancel ? MsgAnswer::Cancel : a->button;
        if ((a->kind != Answer::Kind::Button && a->kind != Answer::Kind::Cancel) ||
            !offers(request.buttons, button))
            misfit(*a, shown, "message box");
        result = button;
    }
    m_out.line(shown + " -> " + answerText(result));
    return result;
}

std::optional<std::string> ScriptDialogs::fileDialog(const FileDialogRequest& request) {
    const std::string shown =
        std::string("! filedialog ") +
        (request.save     ? "save"
         : request.folder ? "folder"
                          : "open") +
        " title=" + quoted(request.title) + " dir=" + quoted(request.initialDir) +
        " name=" + quoted(request.fileName) + " filter=" + quoted(request.filter);
    std::optional<std::string> result;
    if (auto a = take()) {
        if (a->kind == Answer::Kind::File)
            result = a->path;
        else if (a->kind != Answer::Kind::Cancel)
            misfit(*a, shown, "file dialog");
    }
    m_out.line(shown + " -> " + (result ? quoted(*result) : std::string("cancel")));
    return result;
}

std::optional<Rgb> ScriptDialogs::colorDialog(Rgb initial) {
    const std::string shown = "! colordialog initial=" + colorText(initial);
    std::optional<Rgb> result;
    if (auto a = take()) {
        if (a->kind == Answer::Kind::Color)
            result = a->color;
        else if (a->kind != Answer::Kind::Cancel)
            misfit(*a, shown, "colour dialog");
    }
    m_out.line(shown + " -> " + (result ? colorText(*result) : std::string("cancel")));
    return result;
}

} // namespace bp::driver
