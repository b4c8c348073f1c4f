// Reading the program's state, and the testing commands below the level of a
// person: assignments from code, list items, table values, settings, tracing.

#include "core/common/numbers.h"
#include "core/platform/platform.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "driver/driver_window_system.h"
#include "driver/event_tracer.h"
#include "driver/interpreter.h"
#include "driver/output.h"
#include "driver/printing_programs.h"
#include "driver/properties.h"

#include <stdexcept>

namespace bp::driver {

namespace {

constexpr const char* kApplication = "Brickpov";

std::string BrickpovMain::*textField(const std::string& name) {
    if (name == "L3PPath")
        return &BrickpovMain::L3PPath;
    if (name == "EXEName")
        return &BrickpovMain::EXEName;
    if (name == "ModelPath")
        return &BrickpovMain::ModelPath;
    if (name == "POVPath")
        return &BrickpovMain::POVPath;
    if (name == "LDrawPath")
        return &BrickpovMain::LDrawPath;
    if (name == "LGEOPath")
        return &BrickpovMain::LGEOPath;
    if (name == "PovRayProgram")
        return &BrickpovMain::PovRayProgram;
    return nullptr;
}

bool parseBool(const std::string& text) {
    if (text == "True")
        return true;
    if (text == "False")
        return false;
    throw ScriptError("expected True or False: " + text);
}

int inRange(int value, int low, int high, const char* what) {
    if (value < low || value > high)
        throw ScriptError(std::string(what) + " runs from " + std::to_string(low) + " to " +
                          std::to_string(high) + ": " + std::to_string(value));
    return value;
}

// "light L V", "view R V" or "lightpreset P L V": the value and its label.
std::pair<float*, std::string> tableCell(BrickpovMain& m, Cursor& c) {
    const std::string table = c.word("table (light, view or lightpreset)");
    if (table == "light") {
        const int l = inRange(c.integer("light"), 1, kLights, "light");
        const int v = inRange(c.integer("value"), 1, kLightValues, "value");
        return {&m.lights.light(l).value(v),
                "light " + std::to_string(l) + " " + std::to_string(v)};
    }
    if (table == "view") {
        const int r = inRange(c.integer("row"), 0, 29, "row");
        const int v = inRange(c.integer("value"), 0, 8, "value");
        return {&m.viewPresets.at(static_cast<std::size_t>(r)).at(static_cast<std::size_t>(v)),
                "view " + std::to_string(r) + " " + std::to_string(v)};
    }
    if (table == "lightpreset") {
        const int p = inRange(c.integer("preset"), 0, kLightPresets - 1, "preset");
        const int l = inRange(c.integer("light"), 1, kLights, "light");
        const int v = inRange(c.integer("value"), 1, kLightValues, "value");
        return {&m.lightPresets.at(static_cast<std::size_t>(p)).light(l).value(v),
                "lightpreset " + std::to_string(p) + " " + std::to_string(l) + " " +
                    std::to_string(v)};
    }
    throw ScriptError("unknown table " + table + " (light, view or lightpreset)");
}

// The reading command whose printed line is LINE: "table view 1 2=3" comes
// from "table view 1 2", "Paths/EXEName=x" from "setting Paths EXEName",
// "C.PROP=VALUE" from "get C.PROP".
std::string readingCommand(const std::string& line) {
    const std::string head = line.substr(0, line.find('='));
    const std::string first = head.substr(0, head.find(' '));
    for (const char* reader : {"table", "exists", "imagesize", "waitfor", "waitgone", "waitrun"})
        if (first == reader)
            return head;
    const auto slash = head.find('/');
    if (slash != std::string::npos)
        return "setting \"" + head.substr(0, slash) + "\" \"" + head.substr(slash + 1) + "\"";
    return "get " + head;
}

} // namespace

void Interpreter::expect(Cursor& c, int line) {
    const std::string wanted = c.rest("the line a reading command prints");
    const std::string text = readingCommand(wanted);
    Cursor command(text);
    const std::string name = command.word("command");
    std::vector<std::string> printed;
    m_ctx.out.capture(&printed);
    try {
        (this->*m_commands.at(name))(command, line);
    } catch (...) {
        m_ctx.out.capture(nullptr);
        throw;
    }
    m_ctx.out.capture(nullptr);
    const std::string actual = printed.empty() ? "(nothing)" : printed.front();
    if (printed.size() != 1 || actual != wanted)
        throw ScriptError("expect failed\n  expected: " + wanted + "\n  actual:   " + actual);
}

void Interpreter::get(Cursor& c, int) {
    const std::string what = c.word("what to get");
    c.end();
    BrickpovMain& m = m_ctx.app->main();
    if (what == "focus") {
        Form* f = m_ctx.windows.activeForm();
        if (!f)
            f = &m;
        const Control* focused = f->focus();
        m_ctx.out.line("focus=" + (focused ? f->name() + "." + focused->qualifiedName() : ""));
        return;
    }
    const auto dot = what.rfind('.');
    if (dot == std::string::npos) {
        if (what == "DefaultSceneLoaded")
            return m_ctx.out.line(what + "=" + boolText(m.DefaultSceneLoaded));
        if (auto field = textField(what))
            return m_ctx.out.line(what + "=" + quoted(m.*field));
        throw ScriptError("unknown field " + what);
    }
    const std::string target = what.substr(0, dot);
    const std::string property = what.substr(dot + 1);
    if (target.find('.') == std::string::npos) {
        if (Form* f = m_ctx.app->findForm(target))
            return m_ctx.out.line(what + "=" + formProperty(*f, property));
    }
    auto [f, ctl] = control(target);
    m_ctx.out.line(what + "=" + controlProperty(*ctl, property));
}

void Interpreter::dump(Cursor& c, int) {
    const std::string name = c.optionalWord().value_or("BrickpovMain");
    c.end();
    for (const std::string& line : dumpForm(form(name)))
        m_ctx.out.line(line);
}

void Interpreter::table(Cursor& c, int) {
    auto [cell, label] = tableCell(m_ctx.app->main(), c);
    c.end();
    m_ctx.out.line("table " + label + "=" + numberText(*cell));
}

void Interpreter::settable(Cursor& c, int) {
    auto [cell, label] = tableCell(m_ctx.app->main(), c);
    const float value = parseFloat(c.word("number"), "number");
    c.end();
    *cell = value;
}

void Interpreter::setting(Cursor& c, int) {
    const std::string section = c.word("section");
    const std::string key = c.word("key");
    const auto value = c.optionalRest();
    SettingsStore& store = m_ctx.settings;
    if (value) {
        store.save(kApplication, section, key, *value);
        return;
    }
    // A stored value equals at most one of two different fallbacks.
    const std::string a = store.get(kApplication, section, key, "\x01");
    const std::string b = a == "\x01" ? store.get(kApplication, section, key, "\x02") : a;
    if (a == "\x01" && b == "\x02")
        m_ctx.out.line(section + "/" + key);
    else
        m_ctx.out.line(section + "/" + key + "=" + a);
}

void Interpreter::set(Cursor& c, int) {
    const std::string what = c.word("what to set");
    const std::string value = c.rest("value");
    BrickpovMain& m = m_ctx.app->main();
    const auto dot = what.rfind('.');
    if (dot == std::string::npos) {
        if (what == "DefaultSceneLoaded")
            m.DefaultSceneLoaded = parseBool(value);
        else if (auto field = textField(what))
            m.*field = value;
        else
            throw ScriptError("unknown field " + what);
        return;
    }
    auto [f, ctl] = control(what.substr(0, dot));
    const std::string property = what.substr(dot + 1);
    if (property == "Value") {
        ctl->setValue(parseInteger(value, "Value"));
    } else if (property == "Text") {
        ctl->setText(value);
    } else if (property == "Caption") {
        ctl->setCaption(value);
    } else if (property == "ListIndex") {
        const int index = parseInteger(value, "ListIndex");
        if (index < -1 || index >= ctl->listCount())
            throw ScriptError("invalid ListIndex " + value + " for " + ctl->qualifiedName() + " (" +
                              std::to_string(ctl->listCount()) + " items)");
        ctl->setListIndex(index);
    } else if (property == "Enabled") {
        ctl->setEnabled(parseBool(value));
    } else if (property == "Visible") {
        ctl->setVisible(parseBool(value));
    } else if (property == "Interval") {
        ctl->setInterval(parseInteger(value, "Interval"));
    } else if (property == "Path") {
        ctl->setPath(value);
    } else {
        throw ScriptError("cannot set " + property +
                          " (Value, Text, Caption, ListIndex, Enabled, Visible, Interval, Path)");
    }
}

void Interpreter::additem(Cursor& c, int) {
    const std::string name = c.word("control");
    const std::string text = c.word("item text");
    const auto data = c.optionalWord();
    c.end();
    auto [f, ctl] = control(name);
    ctl->addItem(text, data ? parseInteger(*data, "ItemData") : 0);
}

void Interpreter::povray(Cursor& c, int) {
    const std::string program = c.rest("program");
    m_ctx.programs.setPovray(program == "none" ? std::string() : program);
}

void Interpreter::trace(Cursor& c, int) {
    const std::string mode = c.word("on or off");
    c.end();
    if (mode != "on" && mode != "off")
        throw ScriptError("trace takes on or off: " + mode);
    m_ctx.tracer.setEnabled(mode == "on");
}

} // namespace bp::driver
