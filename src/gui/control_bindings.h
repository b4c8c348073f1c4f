#pragma once

#include "core/ui/control.h"

#include <QObject>

#include <functional>
#include <initializer_list>
#include <memory>

class QMenu;
class QMenuBar;
class QWidget;

namespace bp::gui {

class FormView;

// Ties one control to its widget: the model's changes are shown, a person's
// actions are handed to the model as the same property changes. There is
// one binding class per kind of widget and none per control; the bindings
// hold no logic of the program.
class ControlBinding : public QObject {
  public:
    ControlBinding(FormView& view, bp::Control& control);

    bp::Control& control() const { return m_control; }
    FormView& view() const { return m_view; }

    // The widget that is placed, takes the focus and stands in the tab order;
    // null for controls that have none.
    virtual QWidget* widget() const { return nullptr; }
    // Where the controls that it contains are placed (frames, picture boxes).
    virtual QWidget* childArea() const { return nullptr; }
    // Controls drawn on the window's surface stay below the windowed ones.
    virtual bool lightweight() const { return false; }

    // Shows one property of the model; done under a signal blocker so that
    // nothing echoes back into the model.
    virtual void update(bp::Property property) = 0;
    void updateAll();

  protected:
    // Hands a person's action to the model, then shows the given properties
    // again: the model may have refused or changed what the person did.
    void act(const std::function<void()>& action, std::initializer_list<bp::Property> shown);

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    FormView& m_view;
    bp::Control& m_control;
};

// The binding for a control of any kind but a menu entry; null for kinds
// that have no widget (file list, timer, common dialog).
std::unique_ptr<ControlBinding> createBinding(FormView& view, bp::Control& control,
                                              QWidget* parent);

// A menu entry in the window's menu bar: a drop-down menu when other entries
// name it as their container (or it stands in the bar), else an action.
std::unique_ptr<ControlBinding> createMenuBinding(FormView& view, bp::Control& control,
                                                  QMenuBar* bar, QMenu* parentMenu,
                                                  bool holdsEntries);
// The drop-down menu of a menu binding made with holdsEntries.
QMenu* menuOf(ControlBinding& menuBinding);

} // namespace bp::gui
