#include "core/ui/form.h"

#include <algorithm>
#include <charconv>

namespace bp {

namespace {
std::string key(const std::string& name, int index) {
    return index < 0 ? name : name + "(" + std::to_string(index) + ")";
}
} // namespace

Form::Form(FormHost& host, std::string name) : m_host(host), m_name(std::move(name)) {}

Form::~Form() = default;

Control& Form::add(ControlKind kind, const std::string& name, int index) {
    m_controls.push_back(std::make_unique<Control>(*this, kind, name, index));
    Control& control = *m_controls.back();
    m_order.push_back(&control);
    m_byName[key(name, index)] = &control;
    return control;
}

ControlArray Form::addArray(ControlKind kind, const std::string& name, int count) {
    std::vector<Control*> items;
    for (int i = 0; i < count; ++i)
        items.push_back(&add(kind, name, i));
    return ControlArray(std::move(items));
}

Control* Form::find(const std::string& name, int index) const {
    auto it = m_byName.find(key(name, index));
    return it == m_byName.end() ? nullptr : it->second;
}

Control* Form::findQualified(const std::string& qualified) const {
    auto open = qualified.find('(');
    if (open == std::string::npos)
        return find(qualified);
    if (qualified.back() != ')')
        return nullptr;
    int index = 0;
    const char* first = qualified.data() + open + 1;
    const char* last = qualified.data() + qualified.size() - 1;
    auto [ptr, ec] = std::from_chars(first, last, index);
    if (ec != std::errc() || ptr != last || index < 0)
        return nullptr;
    return find(qualified.substr(0, open), index);
}

void Form::setCaption(const std::string& caption) {
    if (caption == m_caption)
        return;
    m_caption = caption;
    notifyForm();
}

void Form::setRect(const Rect& rect) {
    if (rect == m_rect)
        return;
    m_rect = rect;
    notifyForm();
}

void Form::resizeClient(int width, int height) {
    width = std::max(width, clientWidth);
    height = std::max(height, clientHeight);
    const int dx = width - currentClientWidth();
    const int dy = height - currentClientHeight();
    if (dx == 0 && dy == 0)
        return;
    m_clientWidth = width;
    m_clientHeight = height;
    for (Control* c : m_order) {
        Rect r = c->rect();
        r.left += c->keepRight ? dx : 0;
        r.top += c->keepBottom ? dy : 0;
        r.width += c->growWidth ? dx : 0;
        r.height += c->growHeight ? dy : 0;
        c->setRect(r);
    }
    setRect({m_rect.left, m_rect.top, m_rect.width + dx, m_rect.height + dy});
}

void Form::setStaysOnTop(bool on) {
    if (on == m_staysOnTop)
        return;
    m_staysOnTop = on;
    notifyForm();
}

void Form::move(int left, int top) {
    setRect({left, top, m_rect.width, m_rect.height});
}

void Form::setVisibleState(bool visible) {
    if (visible == m_visible)
        return;
    m_visible = visible;
    notifyForm();
}

void Form::load() {
    if (m_loaded)
        return;
    m_loaded = true;
    runHandler("Form_Load", [this] { Form_Load(); });
}

void Form::show(bool modal) {
    load();
    m_host.showForm(*this, modal);
}

void Form::hide() {
    if (!m_visible)
        return;
    m_host.hideForm(*this);
}

void Form::unload() {
    if (!m_loaded || m_unloading)
        return;
    m_unloading = true;
    runHandler("Form_Unload", [this] { Form_Unload(); });
    m_unloading = false;
    m_loaded = false;
    if (m_visible)
        m_host.hideForm(*this);
    m_host.formUnloaded(*this);
}

void Form::userClose() {
    if (!m_loaded || m_unloading)
        return;
    bool allowed = true;
    runHandler("Form_QueryUnload", [this, &allowed] { allowed = Form_QueryUnload(); });
    if (allowed)
        unload();
}

void Form::activate() {
    runHandler("Form_Activate", [this] { Form_Activate(); });
}

void Form::userDropFile(const std::string& path) {
    if (!onFileDrop)
        return;
    runHandler("FileDrop", [this, &path] { onFileDrop(path); });
}

void Form::userClick() {
    if (!onClick)
        return;
    runHandler("Click", [this] { onClick(); });
}

namespace {
void clickFirst(const std::vector<Control*>& controls, bool Control::*role) {
    for (Control* c : controls) {
        if (c->kind() != ControlKind::Button || !(c->*role))
            continue;
        if (c->enabled() && c->visible())
            c->userClick();
        return;
    }
}
} // namespace

void Form::userEnter() {
    if (m_focus && m_focus->kind() == ControlKind::Button) {
        m_focus->userClick();
        return;
    }
    if (m_focus && m_focus->onEnterKey) {
        m_focus->raise(Event::EnterKey);
        return;
    }
    clickFirst(m_order, &Control::defaultButton);
}

void Form::userEscape() {
    clickFirst(m_order, &Control::cancelButton);
}

void Form::setFocus(Control& control) {
    if (&control == m_focus)
        return;
    if (!control.enabled() || !control.visible())
        return;
    m_focus = &control;
    for (auto* o : m_observers)
        o->focusChanged(*this, m_focus);
    control.raise(Event::GotFocus);
}

void Form::clearFocus() {
    if (!m_focus)
        return;
    m_focus = nullptr;
    for (auto* o : m_observers)
        o->focusChanged(*this, nullptr);
}

void Form::addObserver(FormObserver* observer) {
    m_observers.push_back(observer);
}

void Form::removeObserver(FormObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

void Form::notifyProperty(Control& control, Property property) {
    for (auto* o : m_observers)
        o->propertyChanged(control, property);
}

void Form::notifyEvent(Control& control, Event event) {
    for (auto* o : m_observers)
        o->eventRaised(control, event);
}

void Form::notifyForm() {
    for (auto* o : m_observers)
        o->formChanged(*this);
}

} // namespace bp
