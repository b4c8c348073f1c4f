#include "core/ui/control.h"

#include "core/ui/form.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace bp {

namespace {
// Handlers may set each other's controls; a cascade this deep can only be a
// loop, so it is cut rather than allowed to exhaust the stack.
constexpr int kMaxHandlerDepth = 32;
} // namespace

const char* kindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::CheckBox:
        return "checkbox";
    case ControlKind::TextBox:
        return "textbox";
    case ControlKind::ComboList:
        return "combolist";
    case ControlKind::ComboEdit:
        return "combo";
    case ControlKind::Label:
        return "label";
    case ControlKind::Button:
        return "button";
    case ControlKind::Menu:
        return "menu";
    case ControlKind::Shape:
        return "shape";
    case ControlKind::Frame:
        return "frame";
    case ControlKind::Line:
        return "line";
    case ControlKind::PictureBox:
        return "picturebox";
    case ControlKind::Image:
        return "image";
    case ControlKind::Timer:
        return "timer";
    case ControlKind::DriveList:
        return "drivelist";
    case ControlKind::DirList:
        return "dirlist";
    case ControlKind::FileList:
        return "filelist";
    case ControlKind::CommonDialog:
        return "commondialog";
    case ControlKind::ProgressBar:
        return "progressbar";
    case ControlKind::Slider:
        return "slider";
    case ControlKind::ImageView:
        return "imageview";
    }
    return "control";
}

Color Color::rgb(int r, int g, int b) {
    auto clamp = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    Color c;
    c.r = clamp(r);
    c.g = clamp(g);
    c.b = clamp(b);
    return c;
}

Color Color::systemButtonFace() {
    Color c;
    c.buttonFace = true;
    return c;
}

std::string Color::text() const {
    if (buttonFace)
        return "buttonface";
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", r, g, b);
    return buf;
}

Control::Control(Form& form, ControlKind kind, std::string name, int index)
    : m_form(form), m_kind(kind), m_name(std::move(name)), m_index(index) {
    if (kind == ControlKind::Timer)
        m_enabled = false;
}

std::string Control::qualifiedName() const {
    if (m_index < 0)
        return m_name;
    return m_name + "(" + std::to_string(m_index) + ")";
}

const char* eventName(Event event) {
    switch (event) {
    case Event::Click:
        return "Click";
    case Event::Change:
        return "Change";
    case Event::GotFocus:
        return "GotFocus";
    case Event::Timer:
        return "Timer";
    case Event::EnterKey:
        return "EnterKey";
    }
    return "";
}

const std::function<void()>& Control::handler(Event event) const {
    switch (event) {
    case Event::Click:
        return onClick;
    case Event::Change:
        return onChange;
    case Event::GotFocus:
        return onGotFocus;
    case Event::Timer:
        return onTimer;
    case Event::EnterKey:
        return onEnterKey;
    }
    return onClick;
}

void Control::raise(Event event) {
    const auto& handler = this->handler(event);
    if (!handler || m_depth >= kMaxHandlerDepth)
        return;
    m_form.notifyEvent(*this, event);
    ++m_depth;
    m_form.runHandler(handler, [&] { return qualifiedName() + "_" + eventName(event); });
    --m_depth;
}

void Control::notify(Property property) {
    m_form.notifyProperty(*this, property);
}

void Control::setValue(int value) {
    if (value == m_value)
        return;
    m_value = value;
    notify(Property::Value);
    if (m_kind == ControlKind::CheckBox)
        raise(Event::Click);
}

void Control::setText(const std::string& text) {
    if (m_kind == ControlKind::ComboList) {
        // A drop-down list can only show one of its items.
        for (int i = 0; i < listCount(); ++i) {
            if (m_items[static_cast<std::size_t>(i)].text == text) {
                setListIndex(i);
                return;
            }
        }
        return;
    }
    if (text == m_text)
        return;
    m_text = text;
    if (m_kind == ControlKind::ComboEdit)
        selectMatchingItem();
    if (m_selStart > static_cast<int>(m_text.size()))
        m_selStart = static_cast<int>(m_text.size());
    m_selLength = 0;
    notify(Property::Text);
    raise(Event::Change);
}

// An editable list whose text names an item has that item selected (the
// first, when a name occurs twice); any other text leaves none selected.
void Control::selectMatchingItem() {
    int match = -1;
    for (int i = 0; i < listCount(); ++i) {
        if (m_items[static_cast<std::size_t>(i)].text == m_text) {
            match = i;
            break;
        }
    }
    if (match != m_listIndex) {
        m_listIndex = match;
        notify(Property::ListIndex);
    }
}

void Control::setCaption(const std::string& caption) {
    if (caption == m_caption)
        return;
    m_caption = caption;
    notify(Property::Caption);
}

void Control::setListIndex(int index) {
    if (index < -1 || index >= listCount())
        throw std::out_of_range("Invalid property value");
    if (index == m_listIndex)
        return;
    m_listIndex = index;
    const std::string newText = index >= 0 ? m_items[static_cast<std::size_t>(index)].text : "";
    const bool textChanged = newText != m_text;
    m_text = newText;
    notify(Property::ListIndex);
    if (textChanged)
        notify(Property::Text);
    raise(Event::Click);
}

const std::string& Control::list(int i) const {
    return m_items.at(static_cast<std::size_t>(i)).text;
}

int Control::itemData(int i) const {
    return m_items.at(static_cast<std::size_t>(i)).itemData;
}

void Control::addItem(const std::string& text, int itemData) {
    m_items.push_back({text, itemData});
    notify(Property::List);
}

void Control::removeItem(int i) {
    if (i < 0 || i >= listCount())
        throw std::out_of_range("Invalid property value");
    m_items.erase(m_items.begin() + i);
    if (m_listIndex == i) {
        m_listIndex = -1;
        if (m_kind == ControlKind::ComboList)
            m_text.clear();
    } else if (m_listIndex > i) {
        --m_listIndex;
    }
    notify(Property::List);
}

void Control::clearList() {
    m_items.clear();
    m_listIndex = -1;
    if (m_kind == ControlKind::ComboList)
        m_text.clear();
    notify(Property::List);
}

void Control::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    notify(Property::Enabled);
    if (m_kind == ControlKind::Timer)
        m_form.host().timerChanged(*this);
    if (!enabled && m_form.focus() == this)
        m_form.clearFocus();
}

void Control::setVisible(bool visible) {
    if (visible == m_visible)
        return;
    m_visible = visible;
    notify(Property::Visible);
    if (!visible && m_form.focus() == this)
        m_form.clearFocus();
}

void Control::setBackColor(const Color& color) {
    if (color == m_backColor)
        return;
    m_backColor = color;
    notify(Property::BackColor);
}

void Control::setToolTipText(const std::string& tip) {
    if (tip == m_toolTip)
        return;
    m_toolTip = tip;
    notify(Property::ToolTipText);
}

void Control::setLocked(bool locked) {
    if (locked == m_locked)
        return;
    m_locked = locked;
    notify(Property::Locked);
}

void Control::setRect(const Rect& rect) {
    if (rect == m_rect)
        return;
    m_rect = rect;
    notify(Property::Geometry);
}

void Control::setSelection(int start, int length) {
    const int size = static_cast<int>(m_text.size());
    start = std::clamp(start, 0, size);
    length = std::clamp(length, 0, size - start);
    if (start == m_selStart && length == m_selLength)
        return;
    m_selStart = start;
    m_selLength = length;
    notify(Property::Selection);
}

void Control::setInterval(int ms) {
    if (ms == m_interval)
        return;
    m_interval = std::max(0, ms);
    notify(Property::Interval);
    if (m_kind == ControlKind::Timer)
        m_form.host().timerChanged(*this);
}

void Control::setPath(const std::string& path) {
    if (path == m_path)
        return;
    m_path = path;
    notify(Property::Path);
    raise(Event::Change);
}

void Control::userClick() {
    if (m_kind == ControlKind::CheckBox) {
        setValue(m_value == 1 ? 0 : 1);
        return;
    }
    raise(Event::Click);
}

void Control::userType(const std::string& text) {
    if (m_locked)
        return;
    setText(text);
}

void Control::userChoose(int index) {
    if (index == m_listIndex) {
        raise(Event::Click);
        return;
    }
    setListIndex(index);
}

} // namespace bp
