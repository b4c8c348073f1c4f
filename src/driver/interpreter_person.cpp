// What a person does: start the program, click, type, choose, move the
// focus, activate or close a window, answer the next dialog, wait.

#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "driver/driver_window_system.h"
#include "driver/interpreter.h"
#include "driver/output.h"
#include "driver/script_dialogs.h"

namespace bp::driver {

namespace {

bool isList(ControlKind kind) {
    return kind == ControlKind::ComboList || kind == ControlKind::ComboEdit ||
           kind == ControlKind::FileList || kind == ControlKind::Slider;
}

bool isFolderList(ControlKind kind) {
    return kind == ControlKind::DriveList || kind == ControlKind::DirList;
}

int itemNamed(const Control& c, const std::string& text) {
    for (int i = 0; i < c.listCount(); ++i)
        if (c.list(i) == text)
            return i;
    throw ScriptError(c.qualifiedName() + " has no item " + quoted(text));
}

} // namespace

void Interpreter::start(Cursor& c, int) {
    const std::string argument = c.optionalRest().value_or("");
    if (m_started)
        throw ScriptError("the program was started already");
    m_started = true;
    m_ctx.app->start(argument);
    // The main window's first activation, as the window system delivers it.
    m_ctx.windows.raisePendingActivation();
}

// A new program on the same folders, settings store and window system: the
// running one is closed first, as its close box would.
void Interpreter::restart(Cursor& c, int) {
    const std::string argument = c.optionalRest().value_or("");
    if (!m_started)
        throw ScriptError("restart needs a program that was started");
    if (m_performingHeld > 0 || m_ctx.windows.modalForm())
        throw ScriptError("restart only between commands, with no dialog shown");
    if (!m_ctx.windows.ended())
        m_ctx.app->main().unload();
    if (!m_ctx.windows.ended())
        throw ScriptError("the program did not end when its window was closed");
    m_ctx.windows.reportEnd();
    m_ctx.windows.reset();
    m_ctx.app = &m_ctx.newApp();
    m_ctx.app->start(argument);
    m_ctx.windows.raisePendingActivation();
}

void Interpreter::click(Cursor& c, int) {
    const std::string name = c.word("control");
    c.end();
    if (Form* whole = m_ctx.app->findForm(name)) {
        // A click on the window itself, outside its controls.
        if (!reachable(*whole))
            return ignored(name);
        whole->userClick();
        return;
    }
    auto [f, ctl] = control(name);
    if (!reachable(*f, *ctl))
        return ignored(name);
    ctl->userClick();
}

void Interpreter::type(Cursor& c, int) {
    const std::string name = c.word("control");
    const std::string text = c.rest("text");
    auto [f, ctl] = control(name);
    if (ctl->kind() != ControlKind::TextBox && ctl->kind() != ControlKind::ComboEdit)
        throw ScriptError("cannot type into " + name + ", a " + kindName(ctl->kind()));
    if (!reachable(*f, *ctl) || ctl->locked())
        return ignored(name);
    ctl->userType(text);
}

void Interpreter::choose(Cursor& c, int) {
    const std::string name = c.word("control");
    auto [f, ctl] = control(name);
    if (isFolderList(ctl->kind())) {
        const std::string path = c.rest("folder");
        if (!reachable(*f, *ctl))
            return ignored(name);
        ctl->setPath(path);
        return;
    }
    if (!isList(ctl->kind()))
        throw ScriptError("cannot choose in " + name + ", a " + kindName(ctl->kind()));
    int index = 0;
    if (c.quotedNext()) {
        index = itemNamed(*ctl, c.rest("item text"));
    } else {
        index = c.integer("item number");
        c.end();
        if (index < 0 || index >= ctl->listCount())
            throw ScriptError(name + " has no item " + std::to_string(index) + " (" +
                              std::to_string(ctl->listCount()) + " items)");
    }
    if (!reachable(*f, *ctl))
        return ignored(name);
    ctl->userChoose(index);
}

Form* Interpreter::focusNamed(Cursor& c) {
    const std::string name = c.word("control");
    c.end();
    auto [f, ctl] = control(name);
    if (!reachable(*f, *ctl)) {
        ignored(name);
        return nullptr;
    }
    f->setFocus(*ctl);
    return f;
}

void Interpreter::focus(Cursor& c, int) {
    focusNamed(c);
}

void Interpreter::enter(Cursor& c, int) {
    if (Form* f = focusNamed(c))
        f->userEnter();
}

void Interpreter::activate(Cursor& c, int) {
    const std::string name = c.optionalWord().value_or("BrickpovMain");
    c.end();
    Form& f = form(name);
    if (!reachable(f))
        return ignored(name);
    m_ctx.windows.activate(f);
}

void Interpreter::drop(Cursor& c, int) {
    const std::string path = c.rest("file");
    Form& f = form("BrickpovMain");
    if (!reachable(f))
        return ignored("BrickpovMain");
    f.userDropFile(path);
}

void Interpreter::close(Cursor& c, int) {
    const std::string name = c.optionalWord().value_or("BrickpovMain");
    c.end();
    Form& f = form(name);
    if (!reachable(f))
        return ignored(name);
    f.userClose();
}

void Interpreter::resize(Cursor& c, int) {
    const std::string name = c.word("window");
    const int width = c.integer("width");
    const int height = c.integer("height");
    c.end();
    Form& f = form(name);
    if (!reachable(f) || f.fixedBorder)
        return ignored(name);
    f.resizeClient(width, height);
}

void Interpreter::answer(Cursor& c, int line) {
    Answer a;
    a.line = line;
    const std::string what = c.word("answer");
    if (what == "OK" || what == "Yes" || what == "No") {
        a.kind = Answer::Kind::Button;
        a.button = what == "OK" ? MsgAnswer::OK : what == "Yes" ? MsgAnswer::Yes : MsgAnswer::No;
        a.text = what;
        c.end();
    } else if (what == "Cancel" || what == "cancel") {
        a.kind = Answer::Kind::Cancel;
        a.text = what;
        c.end();
    } else if (what == "file") {
        a.kind = Answer::Kind::File;
        a.path = c.rest("path");
        a.text = "file " + quoted(a.path);
    } else if (what == "color") {
        a.kind = Answer::Kind::Color;
        int rgb[3];
        for (int& v : rgb) {
            v = c.integer("colour value");
            if (v < 0 || v > 255)
                throw ScriptError("a colour value runs from 0 to 255: " + std::to_string(v));
        }
        c.end();
        a.color = {rgb[0], rgb[1], rgb[2]};
        a.text = "color " + colorText(a.color);
    } else {
        throw ScriptError("unknown answer " + what +
                          " (OK, Cancel, Yes, No, cancel, file PATH, color R G B)");
    }
    m_ctx.dialogs.queue(std::move(a));
}

void Interpreter::wait(Cursor& c, int) {
    const double ms = parseDouble(c.word("milliseconds"), "milliseconds");
    c.end();
    if (ms < 0)
        throw ScriptError("a wait cannot be negative");
    m_ctx.windows.wait(ms);
}

} // namespace bp::driver
