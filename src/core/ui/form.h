#pragma once

#include "core/ui/control.h"

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace bp {

class Form;

// What a form needs from whoever runs it: showing and hiding it, and the
// timers behind its timer controls.
class FormHost {
  public:
    virtual ~FormHost() = default;
    virtual void showForm(Form& form, bool modal) = 0;
    virtual void hideForm(Form& form) = 0;
    virtual void timerChanged(Control& timer) = 0;
    virtual void formUnloaded(Form& form) = 0;
    virtual void handlerFailed(const std::string& where, const std::string& what) = 0;
};

// Told of every property change, so that a view can follow the model.
class FormObserver {
  public:
    virtual ~FormObserver() = default;
    virtual void propertyChanged(Control& control, Property property) = 0;
    virtual void formChanged(Form& form) = 0; // caption, geometry, visibility
    virtual void focusChanged(Form& form, Control* control) = 0;
    virtual void eventRaised(Control& /*control*/, Event /*event*/) {}
};

// A window as named controls with properties. Subclasses create their
// controls in their constructors and wire the handlers.
class Form {
  public:
    Form(FormHost& host, std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return m_name; }
    FormHost& host() const { return m_host; }

    const std::string& caption() const { return m_caption; }
    void setCaption(const std::string& caption);

    // Outer geometry in twips.
    const Rect& rect() const { return m_rect; }
    void setRect(const Rect& rect);
    void move(int left, int top);

    // Designed client area in twips.
    int clientWidth = 0;
    int clientHeight = 0;
    bool fixedBorder = true; // false: the person may resize the window
    // The client area now, in twips; the designed one until resized.
    int currentClientWidth() const { return m_clientWidth > 0 ? m_clientWidth : clientWidth; }
    int currentClientHeight() const { return m_clientHeight > 0 ? m_clientHeight : clientHeight; }
    // The window's client area became this size (never below the designed
    // one): the controls follow it as they are told to, and the outer
    // size grows with it.
    void resizeClient(int width, int height);
    bool hasMenu = false;

    // Kept above other programs' windows (POV-Ray's, while it renders).
    bool staysOnTop() const { return m_staysOnTop; }
    void setStaysOnTop(bool on);

    bool visible() const { return m_visible; }
    // Called by the host when the window is shown or hidden.
    void setVisibleState(bool visible);

    bool loaded() const { return m_loaded && !m_unloading; }
    void load(); // raises Form_Load once
    void show(bool modal = false);
    void hide();
    void unload(); // raises Form_Unload, hides, tells the host
    // A person closes the window: the form may refuse, else it unloads.
    void userClose();

    // Raised by the host when the form becomes the active window.
    void activate();

    // A click on the form itself, outside its controls.
    std::function<void()> onClick;
    void userClick();
    // A file dropped on the window; a form without the handler takes none.
    std::function<void(const std::string&)> onFileDrop;
    void userDropFile(const std::string& path);
    // A person's Enter key: a button with the focus is clicked; another
    // control with the focus takes it when it has an EnterKey handler; else
    // the default button is clicked. Esc clicks the cancel button. A
    // disabled or hidden button is not clicked.
    void userEnter();
    void userEscape();

    Control* find(const std::string& name, int index = -1) const;
    Control* findQualified(const std::string& qualified) const; // "Name" or "Name(3)"
    const std::vector<Control*>& controls() const { return m_order; }

    Control* focus() const { return m_focus; }
    void setFocus(Control& control);
    void clearFocus();

    void addObserver(FormObserver* observer);
    void removeObserver(FormObserver* observer);
    void notifyProperty(Control& control, Property property);
    void notifyEvent(Control& control, Event event);

    Control& add(ControlKind kind, const std::string& name, int index = -1);
    ControlArray addArray(ControlKind kind, const std::string& name, int count);

    // Runs a handler of this form or of one of its controls. An error stops
    // the handler where it stands; the program goes on and the host is told
    // which handler failed and why.
    // The handler's name is made only when it is needed.
    template <class Body, class Where> void runHandler(Body&& body, Where&& where) {
        try {
            body();
        } catch (const std::exception& e) {
            m_host.handlerFailed(m_name + "." + where(), e.what());
        } catch (...) {
            m_host.handlerFailed(m_name + "." + where(), "unknown error");
        }
    }
    template <class Body> void runHandler(const char* where, Body&& body) {
        runHandler(std::forward<Body>(body), [where] { return std::string(where); });
    }

  protected:
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Unload() {}
    // Whether a person may close the window now; false keeps it open.
    virtual bool Form_QueryUnload() { return true; }

  private:
    void notifyForm();

    FormHost& m_host;
    std::string m_name;
    std::string m_caption;
    Rect m_rect;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    bool m_visible = false;
    bool m_staysOnTop = false;
    bool m_loaded = false;
    bool m_unloading = false;
    std::vector<std::unique_ptr<Control>> m_controls;
    std::vector<Control*> m_order;
    std::map<std::string, Control*> m_byName;
    Control* m_focus = nullptr;
    std::vector<FormObserver*> m_observers;
};

} // namespace bp
