#pragma once

#include "core/ui/form.h"
#include "gui/qt_convert.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QMenuBar;

namespace bp::gui {

class ControlBinding;

// A window showing any core Form: a widget per control, made by the binding
// of the control's kind and placed at its designed twips, under an optional
// menu bar. The client area has the form's designed size and is fixed.
class FormView : public QWidget, public bp::FormObserver {
  public:
    // owner: the window this one belongs to (null for the main window).
    // lastActive: the form window that was active last, shared by the
    // program's views. A form is activated when it takes over from another
    // form window, not when the focus comes back to it from a message box, a
    // common dialog or another program.
    FormView(bp::Form& form, QWidget* owner, QPointer<FormView>& lastActive);
    ~FormView() override;

    // The form while the view is attached to it, else null.
    bp::Form* form() const { return m_form; }
    // Stops following the form; a view whose form has gone is only deleted.
    void detach();
    void forgetForm() { m_form = nullptr; }

    const Twips& twips() const { return m_twips; }
    QWidget* clientArea() const { return m_client; }
    QMenuBar* menuBar() const { return m_menuBar; }
    // The widget of a control by its qualified name ("Txt_BColor(0)").
    QWidget* widgetOf(const std::string& qualifiedName) const;

    // Moves the window to the form's position, which is in twips.
    void placeAtFormPosition();

    // A binding tells the view that its widget took the focus.
    void widgetFocused(bp::Control& control);

    void propertyChanged(bp::Control& control, bp::Property property) override;
    void formChanged(bp::Form& form) override;
    void focusChanged(bp::Form& form, bp::Control* control) override;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void build();
    ControlBinding* buildControl(bp::Control& control);
    ControlBinding* buildMenu(bp::Control& control);
    void applyTabOrder();
    ControlBinding* bindingOf(const bp::Control* control) const;

    QPointer<FormView>& m_lastActive;
    bp::Form* m_form;
    Twips m_twips;
    QWidget* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    std::vector<std::unique_ptr<ControlBinding>> m_bindings;
    std::map<const bp::Control*, ControlBinding*> m_byControl;
    bool m_applyingFocus = false;
    bool m_placing = false;
    bool m_sizing = false;
    // A sizeable window takes the form's client size, and the form follows
    // the window's.
    void applyClientSize();
};

} // namespace bp::gui
