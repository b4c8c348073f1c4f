#include "driver/properties.h"

#include "core/ui/form.h"
#include "driver/output.h"
#include "driver/script.h"

#include <optional>

namespace bp::driver {

namespace {

using K = ControlKind;

// "List(3)" -> 3 for the name "List"; nullopt when the property is another.
std::optional<int> indexed(std::string_view property, std::string_view name) {
    if (property.size() < name.size() + 3 || property.substr(0, name.size()) != name ||
        property[name.size()] != '(' || property.back() != ')')
        return std::nullopt;
    return parseInteger(property.substr(name.size() + 1, property.size() - name.size() - 2),
                        "item number");
}

void checkItem(const Control& c, int i) {
    if (i < 0 || i >= c.listCount())
        throw ScriptError(c.qualifiedName() + " has no item " + std::to_string(i) + " (" +
                          std::to_string(c.listCount()) + " items)");
}

const char* alignmentText(Alignment a) {
    switch (a) {
    case Alignment::Left:
        return "Left";
    case Alignment::Right:
        return "Right";
    case Alignment::Center:
        return "Center";
    }
    return "Left";
}

class Line {
  public:
    explicit Line(std::string head) : m_text(std::move(head)) {}
    Line& add(const char* name, const std::string& value) {
        m_text += ' ';
        m_text += name;
        m_text += '=';
        m_text += value;
        return *this;
    }
    Line& text(const char* name, const std::string& value) { return add(name, quoted(value)); }
    Line& number(const char* name, int value) { return add(name, std::to_string(value)); }
    Line& flag(const char* name, bool value) { return add(name, boolText(value)); }
    const std::string& str() const { return m_text; }

  private:
    std::string m_text;
};

bool hasGeometry(K kind) {
    return kind != K::Menu && kind != K::Timer && kind != K::CommonDialog;
}

bool isList(K kind) {
    return kind == K::ComboList || kind == K::ComboEdit || kind == K::FileList || kind == K::Slider;
}

std::string dumpControl(const Control& c) {
    const K kind = c.kind();
    Line line(c.qualifiedName() + " " + kindName(kind));
    switch (kind) {
    case K::CheckBox:
        line.text("Caption", c.caption()).number("Value", c.value());
        break;
    case K::TextBox:
        line.text("Text", c.text())
            .add("BackColor", c.backColor().text())
            .flag("Locked", c.locked());
        break;
    case K::ComboList:
    case K::ComboEdit:
        line.text("Text", c.text())
            .number("ListIndex", c.listIndex())
            .number("ListCount", c.listCount())
            .add("BackColor", c.backColor().text());
        break;
    case K::Label:
        line.text("Caption", c.caption()).add("BackColor", c.backColor().text());
        break;
    case K::Button:
    case K::Menu:
    case K::Frame:
        line.text("Caption", c.caption());
        break;
    case K::Timer:
        line.number("Interval", c.interval());
        break;
    case K::DriveList:
    case K::DirList:
        line.text("Path", c.path());
        break;
    case K::FileList:
        line.text("Path", c.path())
            .number("ListIndex", c.listIndex())
            .number("ListCount", c.listCount());
        break;
    case K::ProgressBar:
        line.number("Value", c.value());
        break;
    case K::Slider:
        line.number("ListIndex", c.listIndex()).number("ListCount", c.listCount());
        break;
    case K::ImageView:
        line.text("Path", c.path()).number("Value", c.value());
        break;
    case K::Shape:
    case K::Line:
    case K::PictureBox:
    case K::Image:
    case K::CommonDialog:
        break;
    }
    if (kind != K::CommonDialog) {
        if (kind != K::Shape && kind != K::Line)
            line.flag("Enabled", c.enabled());
        if (kind != K::Timer)
            line.flag("Visible", c.visible());
    }
    if (hasGeometry(kind) && kind != K::CommonDialog) {
        const Rect& r = c.rect();
        line.number("Left", r.left)
            .number("Top", r.top)
            .number("Width", r.width)
            .number("Height", r.height);
    }
    if (c.tabIndex >= 0)
        line.number("TabIndex", c.tabIndex);
    if (!c.toolTipText().empty())
        line.text("ToolTipText", c.toolTipText());
    // Design attributes, shown only where they are set.
    if (c.bold)
        line.flag("Bold", true);
    if (c.border)
        line.flag("Border", true);
    if (c.multiLine)
        line.flag("MultiLine", true);
    if (c.alignment != Alignment::Left)
        line.add("Alignment", alignmentText(c.alignment));
    if (c.defaultButton)
        line.flag("Default", true);
    if (c.cancelButton)
        line.flag("Cancel", true);
    if (!c.container.empty())
        line.text("Container", c.container);
    if (!c.shortcut.empty())
        line.text("Shortcut", c.shortcut);
    if (!c.picture.empty())
        line.text("Picture", c.picture);
    if (!c.pattern.empty())
        line.text("Pattern", c.pattern);
    return line.str();
}

} // namespace

std::string controlProperty(const Control& c, std::string_view p) {
    if (p == "Value")
        return std::to_string(c.value());
    if (p == "Text")
        return quoted(c.text());
    if (p == "Caption")
        return quoted(c.caption());
    if (p == "ListIndex")
        return std::to_string(c.listIndex());
    if (p == "ListCount")
        return std::to_string(c.listCount());
    if (auto i = indexed(p, "List")) {
        checkItem(c, *i);
        return quoted(c.list(*i));
    }
    if (auto i = indexed(p, "ItemData")) {
        checkItem(c, *i);
        return std::to_string(c.itemData(*i));
    }
    if (p == "Enabled")
        return boolText(c.enabled());
    if (p == "Visible")
        return boolText(c.visible());
    if (p == "BackColor")
        return c.backColor().text();
    if (p == "ToolTipText")
        return quoted(c.toolTipText());
    if (p == "Locked")
        return boolText(c.locked());
    if (p == "Left")
        return std::to_string(c.rect().left);
    if (p == "Top")
        return std::to_string(c.rect().top);
    if (p == "Width")
        return std::to_string(c.rect().width);
    if (p == "Height")
        return std::to_string(c.rect().height);
    if (p == "SelStart")
        return std::to_string(c.selStart());
    if (p == "SelLength")
        return std::to_string(c.selLength());
    if (p == "Interval")
        return std::to_string(c.interval());
    if (p == "TabIndex")
        return std::to_string(c.tabIndex);
    if (p == "Path")
        return quoted(c.path());
    throw ScriptError("unknown property " + std::string(p));
}

std::string formProperty(const Form& f, std::string_view p) {
    if (p == "Caption")
        return quoted(f.caption());
    if (p == "Left")
        return std::to_string(f.rect().left);
    if (p == "Top")
        return std::to_string(f.rect().top);
    if (p == "Width")
        return std::to_string(f.rect().width);
    if (p == "Height")
        return std::to_string(f.rect().height);
    if (p == "Visible")
        return boolText(f.visible());
    throw ScriptError("unknown window property " + std::string(p));
}

std::vector<std::string> dumpForm(const Form& f) {
    std::vector<std::string> lines;
    const Rect& r = f.rect();
    Line head(f.name() + " form");
    head.text("Caption", f.caption())
        .flag("Visible", f.visible())
        .number("Left", r.left)
        .number("Top", r.top)
        .number("Width", r.width)
        .number("Height", r.height)
        .number("ClientWidth", f.clientWidth)
        .number("ClientHeight", f.clientHeight)
        .flag("FixedBorder", f.fixedBorder)
        .flag("Menu", f.hasMenu);
    lines.push_back(head.str());
    for (const Control* c : f.controls()) {
        lines.push_back(dumpControl(*c));
        if (isList(c->kind())) {
            for (int i = 0; i < c->listCount(); ++i)
                lines.push_back("  List(" + std::to_string(i) + ")=" + quoted(c->list(i)) +
                                " ItemData(" + std::to_string(i) +
                                ")=" + std::to_string(c->itemData(i)));
        }
    }
    return lines;
}

} // namespace bp::driver
