#include "driver/interpreter.h"

#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "driver/driver_window_system.h"
#include "driver/event_tracer.h"
#include "driver/output.h"
#include "driver/script_dialogs.h"

namespace bp::driver {

Interpreter::Interpreter(Script& script, DriverContext& context)
    : m_script(script), m_ctx(context),
      m_commands{{"start", &Interpreter::start},       {"click", &Interpreter::click},
                 {"type", &Interpreter::type},         {"choose", &Interpreter::choose},
                 {"focus", &Interpreter::focus},       {"activate", &Interpreter::activate},
                 {"close", &Interpreter::close},       {"answer", &Interpreter::answer},
                 {"wait", &Interpreter::wait},         {"get", &Interpreter::get},
                 {"dump", &Interpreter::dump},         {"table", &Interpreter::table},
                 {"settable", &Interpreter::settable}, {"setting", &Interpreter::setting},
                 {"set", &Interpreter::set},           {"additem", &Interpreter::additem},
                 {"trace", &Interpreter::trace},       {"mkdir", &Interpreter::mkdir},
                 {"mkfifo", &Interpreter::mkfifo},     {"write", &Interpreter::write},
                 {"cat", &Interpreter::cat},           {"exists", &Interpreter::exists},
                 {"chmod", &Interpreter::chmod},       {"waitfor", &Interpreter::waitfor},
                 {"waitrun", &Interpreter::waitrun},   {"waitgone", &Interpreter::waitgone},
                 {"restart", &Interpreter::restart},   {"povray", &Interpreter::povray},
                 {"touch", &Interpreter::touch},       {"imagesize", &Interpreter::imagesize},
                 {"drop", &Interpreter::drop},         {"expect", &Interpreter::expect},
                 {"resize", &Interpreter::resize},     {"enter", &Interpreter::enter}} {
    m_ctx.windows.setInsideHandlerHook([this] { performHeld(); });
}

int Interpreter::run() {
    for (;;) {
        beforeCommand();
        auto line = m_script.next();
        if (!line)
            break;
        execute(*line);
    }
    m_ctx.windows.reportEnd();
    if (!m_held.empty())
        m_ctx.out.fail(m_held.front().number, "no command follows the held command");
    if (const Answer* a = m_ctx.dialogs.unused())
        m_ctx.out.fail(a->line, "answer " + a->text + " was never taken by a dialog");
    return 0;
}

void Interpreter::runModal(Form& form) {
    ++m_modalDepth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{m_modalDepth};
    for (;;) {
        beforeCommand();
        if (!form.visible())
            return;
        auto line = m_script.next();
        if (!line) {
            form.hide();
            m_ctx.out.fail(m_script.lineCount(),
                           "the script ended while " + form.name() + " was shown modally");
        }
        execute(*line);
        if (!form.visible())
            return;
    }
}

// What an event loop delivers between two inputs: the activation of the
// window that became active, and the forms created meanwhile to be traced.
void Interpreter::beforeCommand() {
    for (Form* f : m_ctx.app->forms())
        m_ctx.tracer.watch(*f);
    m_ctx.windows.raisePendingActivation();
}

namespace {
// "& COMMAND": held back until the program processes events inside the
// handler of the command that follows.
bool isHeld(const std::string& text) {
    return text.size() >= 2 && text[0] == '&' && (text[1] == ' ' || text[1] == '\t');
}
} // namespace

void Interpreter::execute(const ScriptLine& line) {
    if (isHeld(line.text)) {
        m_held.push_back(line);
        return;
    }
    // This command's held lines; lines armed by an outer command that has
    // not waited yet stay ahead of them.
    const int firstHeld = m_held.empty() ? 0 : m_held.front().number;
    m_armed.insert(m_armed.end(), m_held.begin(), m_held.end());
    m_held.clear();
    perform(line, line.text);
    if (m_modalDepth == 0 && m_performingHeld == 0)
        waitWhileBusy();
    if (firstHeld != 0) {
        for (const ScriptLine& armed : m_armed)
            if (armed.number == firstHeld)
                m_ctx.out.fail(firstHeld, "the held command was not performed: the command on "
                                          "line " +
                                              std::to_string(line.number) +
                                              " did not process events");
    }
}

void Interpreter::performHeld() {
    // One at a time: a held command may itself process events.
    while (!m_armed.empty()) {
        const ScriptLine held = m_armed.front();
        m_armed.pop_front();
        ++m_performingHeld;
        // A held reading command prints, even inside an expected wait.
        std::vector<std::string>* captured = m_ctx.out.capturing();
        m_ctx.out.capture(nullptr);
        std::string command = held.text.substr(1);
        while (!command.empty() && (command.front() == ' ' || command.front() == '\t'))
            command.erase(0, 1);
        perform(held, command);
        m_ctx.out.capture(captured);
        --m_performingHeld;
    }
}

void Interpreter::waitWhileBusy() {
    while (m_ctx.windows.busy() && !m_ctx.windows.ended())
        m_ctx.windows.processEvents();
}

void Interpreter::perform(const ScriptLine& line, const std::string& command) {
    if (m_ctx.echo)
        m_ctx.out.line("> " + line.text);
    try {
        const std::string text = substituteEnvironment(command);
        Cursor cursor(text);
        const std::string name = cursor.word("command");
        auto it = m_commands.find(name);
        if (it == m_commands.end())
            throw ScriptError("unknown command " + name);
        (this->*(it->second))(cursor, line.number);
    } catch (const ScriptError& e) {
        m_ctx.out.fail(line.number, e.what());
    } catch (const std::exception& e) {
        m_ctx.out.fail(line.number, std::string("driver failure: ") + e.what());
    }
}

std::pair<Form*, Control*> Interpreter::control(const std::string& name) const {
    const auto dot = name.find('.');
    if (dot != std::string::npos) {
        Form& f = form(name.substr(0, dot));
        if (Control* c = f.findQualified(name.substr(dot + 1)))
            return {&f, c};
        throw ScriptError("unknown control " + name);
    }
    // The dialog in front first, then the main window, then the other forms.
    std::vector<Form*> order;
    if (Form* modal = m_ctx.windows.modalForm())
        order.push_back(modal);
    const std::vector<Form*> all = m_ctx.app->forms();
    for (Form* f : all)
        if (f->loaded())
            order.push_back(f);
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        order.push_back(*it);
    for (Form* f : order)
        if (Control* c = f->findQualified(name))
            return {f, c};
    throw ScriptError("unknown control " + name);
}

Form& Interpreter::form(const std::string& name) const {
    if (Form* f = m_ctx.app->findForm(name))
        return *f;
    throw ScriptError("unknown window " + name);
}

bool Interpreter::reachable(const Form& form) const {
    if (m_ctx.windows.ended() || !form.visible())
        return false;
    const Form* modal = m_ctx.windows.modalForm();
    return !modal || modal == &form;
}

bool Interpreter::reachable(const Form& form, const Control& control) const {
    if (!reachable(form))
        return false;
    int depth = 0;
    for (const Control* c = &control; c && depth < 16; ++depth) {
        if (!c->enabled() || !c->visible())
            return false;
        c = c->container.empty() ? nullptr : form.findQualified(c->container);
    }
    return true;
}

void Interpreter::ignored(const std::string& what) {
    m_ctx.out.line("! ignored " + what);
}

} // namespace bp::driver
