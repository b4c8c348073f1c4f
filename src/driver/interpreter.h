#pragma once

#include "driver/script.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>

namespace bp {
class App;
class Control;
class Form;
class SettingsStore;
} // namespace bp

namespace bp::driver {

class DriverWindowSystem;
class EventTracer;
class Output;
class PrintingPrograms;
class ScriptDialogs;

struct DriverContext {
    App* app; // the running program; replaced by restart
    DriverWindowSystem& windows;
    ScriptDialogs& dialogs;
    SettingsStore& settings;
    EventTracer& tracer;
    Output& out;
    PrintingPrograms& programs;
    std::function<App&()> newApp; // a fresh App on the same platform
    bool echo = false;
};

// Runs script commands. It is re-entrant: a modal form runs a nested loop
// over the same script (runModal) while the command that opened it waits.
class Interpreter {
  public:
    Interpreter(Script& script, DriverContext& context);

    // The whole script; the driver's exit status.
    int run();
    // Commands until the form is hidden again.
    void runModal(Form& form);

  private:
    using Command = void (Interpreter::*)(Cursor&, int line);

    void beforeCommand();
    void execute(const ScriptLine& line);
    // Runs one command line (without its "& " mark when held).
    void perform(const ScriptLine& line, const std::string& command);
    // The held commands armed by the last command, performed when the
    // program processes events inside a handler.
    void performHeld();
    // A person waits while the program is busy: events are processed (and
    // the held commands performed) until it is no longer busy.
    void waitWhileBusy();

    // What a person does (interpreter_person.cpp).
    void start(Cursor& c, int line);
    void click(Cursor& c, int line);
    void drop(Cursor& c, int line);
    void type(Cursor& c, int line);
    void choose(Cursor& c, int line);
    void focus(Cursor& c, int line);
    void enter(Cursor& c, int line);
    // Moves the focus to the control a command names; the control's form,
    // or none when a person could not reach it.
    Form* focusNamed(Cursor& c);
    void activate(Cursor& c, int line);
    void close(Cursor& c, int line);
    void resize(Cursor& c, int line);
    void answer(Cursor& c, int line);
    void wait(Cursor& c, int line);
    void restart(Cursor& c, int line);

    // Reading and setting state (interpreter_state.cpp).
    void get(Cursor& c, int line);
    void expect(Cursor& c, int line);
    void dump(Cursor& c, int line);
    void table(Cursor& c, int line);
    void settable(Cursor& c, int line);
    void setting(Cursor& c, int line);
    void set(Cursor& c, int line);
    void additem(Cursor& c, int line);
    void trace(Cursor& c, int line);
    void povray(Cursor& c, int line);

    // Files (interpreter_files.cpp).
    void mkdir(Cursor& c, int line);
    void mkfifo(Cursor& c, int line);
    void write(Cursor& c, int line);
    void cat(Cursor& c, int line);
    void exists(Cursor& c, int line);
    void chmod(Cursor& c, int line);
    void waitfor(Cursor& c, int line);
    void waitrun(Cursor& c, int line);
    void waitgone(Cursor& c, int line);
    void touch(Cursor& c, int line);
    void imagesize(Cursor& c, int line);

    // "Name", "Name(3)" or "Form.Name": the form and the control; throws
    // ScriptError when there is none.
    std::pair<Form*, Control*> control(const std::string& name) const;
    Form& form(const std::string& name) const;
    // Whether a person can reach the control now: its window shown and not
    // behind a modal dialog, the control and its containers enabled and
    // visible.
    bool reachable(const Form& form, const Control& control) const;
    bool reachable(const Form& form) const;
    void ignored(const std::string& what);

    Script& m_script;
    DriverContext& m_ctx;
    std::map<std::string, Command> m_commands;
    bool m_started = false;
    std::vector<ScriptLine> m_held; // "& " lines read, waiting for their command
    std::deque<ScriptLine> m_armed; // held lines of a running command
    int m_performingHeld = 0;
    int m_modalDepth = 0;
};

} // namespace bp::driver
