#include "gui/form_view.h"

#include "gui/control_bindings.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace bp::gui {

namespace {

// The designs were laid out for a narrow 8-point face. DejaVu Sans is wider:
// its condensed cut at 7.5 points takes about the room the captions had.
QFont formFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(7.5);
    font.setStretch(QFont::SemiCondensed);
    return font;
}

} // namespace

FormView::FormView(bp::Form& form, QWidget* owner, QPointer<FormView>& lastActive)
    : QWidget(owner), m_lastActive(lastActive), m_form(&form),
      m_twips(Twips::forScreen(owner ? owner->screen() : nullptr)) {
    // A fixed border without a maximise button; windows that belong to
    // another window are dialogs over it.
    Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    flags |= owner ? Qt::Dialog : Qt::Window | Qt::WindowMinimizeButtonHint;
    if (!form.fixedBorder)
        flags |= Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
    setWindowFlags(flags);
    setFont(formFont());
    setObjectName(toQt(form.name()));
    setAcceptDrops(static_cast<bool>(form.onFileDrop));
    build();
    form.addObserver(this);
}

FormView::~FormView() {
    detach();
}

void FormView::detach() {
    if (m_form)
        m_form->removeObserver(this);
    m_form = nullptr;
}

void FormView::build() {
    bp::Form& form = *m_form;
    setWindowTitle(toQt(form.caption()));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(form.fixedBorder ? QLayout::SetFixedSize : QLayout::SetMinimumSize);
    const auto& controls = form.controls();
    if (std::any_of(controls.begin(), controls.end(),
                    [](const Control* c) { return c->kind() == ControlKind::Menu; })) {
        m_menuBar = new QMenuBar(this);
        layout->setMenuBar(m_menuBar);
    }
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("clientArea"));
    m_client->installEventFilter(this);
    const QSize designed(m_twips.toPixels(form.clientWidth), m_twips.toPixels(form.clientHeight));
    if (form.fixedBorder)
        m_client->setFixedSize(designed);
    else
        m_client->setMinimumSize(designed);
    layout->addWidget(m_client);

    for (Control* control : controls) {
        if (control->kind() == ControlKind::Menu)
            buildMenu(*control);
        else
            buildControl(*control);
    }
    // Drawn controls (labels, shapes, lines, images) lie on the window's
    // surface, under every windowed control, in their own order.
    for (auto it = m_bindings.rbegin(); it != m_bindings.rend(); ++it)
        if ((*it)->lightweight() && (*it)->widget())
            (*it)->widget()->lower();
    applyTabOrder();
}

ControlBinding* FormView::buildControl(bp::Control& control) {
    if (auto it = m_byControl.find(&control); it != m_byControl.end())
        return it->second;
    m_byControl[&control] = nullptr; // also guards against a container naming itself
    QWidget* parent = m_client;
    if (!control.container.empty()) {
        bp::Control* holder = m_form->findQualified(control.container);
        if (holder && holder->kind() != ControlKind::Menu)
            if (ControlBinding* h = buildControl(*holder); h && h->childArea())
                parent = h->childArea();
    }
    auto binding = createBinding(*this, control, parent);
    if (!binding)
        return nullptr;
    ControlBinding* b = binding.get();
    m_bindings.push_back(std::move(binding));
    m_byControl[&control] = b;
    b->updateAll();
    return b;
}

ControlBinding* FormView::buildMenu(bp::Control& control) {
    if (auto it = m_byControl.find(&control); it != m_byControl.end())
        return it->second;
    m_byControl[&control] = nullptr;
    QMenu* parentMenu = nullptr;
    if (!control.container.empty()) {
        bp::Control* holder = m_form->findQualified(control.container);
        ControlBinding* h =
            holder && holder->kind() == ControlKind::Menu ? buildMenu(*holder) : nullptr;
        parentMenu = h ? menuOf(*h) : nullptr;
        if (!parentMenu)
            return nullptr; // an entry of a menu that cannot hold entries
    }
    const std::string name = control.qualifiedName();
    const auto& controls = m_form->controls();
    const bool holdsEntries = std::any_of(controls.begin(), controls.end(), [&](const Control* c) {
        return c != &control && c->kind() == ControlKind::Menu && c->container == name;
    });
    auto binding = createMenuBinding(*this, control, m_menuBar, parentMenu, holdsEntries);
    ControlBinding* b = binding.get();
    m_bindings.push_back(std::move(binding));
    m_byControl[&control] = b;
    b->updateAll();
    return b;
}

void FormView::applyTabOrder() {
    std::vector<std::pair<int, QWidget*>> stops;
    for (const auto& b : m_bindings) {
        QWidget* w = b->widget();
        if (!w || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        if (b->control().tabIndex >= 0)
            stops.emplace_back(b->control().tabIndex, w);
        else
            w->setFocusPolicy(Qt::ClickFocus);
    }
    std::stable_sort(stops.begin(), stops.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1].second, stops[i].second);
}

ControlBinding* FormView::bindingOf(const bp::Control* control) const {
    auto it = m_byControl.find(control);
    return it == m_byControl.end() ? nullptr : it->second;
}

QWidget* FormView::widgetOf(const std::string& qualifiedName) const {
    if (!m_form)
        return nullptr;
    ControlBinding* b = bindingOf(m_form->findQualified(qualifiedName));
    return b ? b->widget() : nullptr;
}

void FormView::placeAtFormPosition() {
    if (!m_form)
        return;
    const Rect& r = m_form->rect();
    m_placing = true;
    applyClientSize();
    QPoint at(m_twips.toPixels(r.left), m_twips.toPixels(r.top));
    // Whatever the scale factor, the window opens inside the screen's
    // available area, its title bar and menu on it.
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        const QSize frame = isVisible() ? frameGeometry().size() : size();
        if (!m_form->fixedBorder &&
            (frame.width() > area.width() || frame.height() > area.height()))
            resize(size().boundedTo(area.size()));
        at.setX(std::clamp(at.x(), area.left(),
                           std::max(area.left(), area.right() + 1 - frame.width())));
        at.setY(std::clamp(at.y(), area.top(),
                           std::max(area.top(), area.bottom() + 1 - frame.height())));
    }
    move(at);
    m_placing = false;
}

void FormView::applyClientSize() {
    if (!m_form || m_form->fixedBorder || m_sizing)
        return;
    const QSize wanted(m_twips.toPixels(m_form->currentClientWidth()),
                       m_twips.toPixels(m_form->currentClientHeight()));
    if (m_client->size() == wanted)
        return;
    m_sizing = true;
    resize(size() + (wanted - m_client->size()));
    m_sizing = false;
}

void FormView::widgetFocused(bp::Control& control) {
    if (m_applyingFocus || !m_form)
        return;
    m_form->setFocus(control);
}

void FormView::propertyChanged(bp::Control& control, bp::Property property) {
    if (ControlBinding* b = bindingOf(&control))
        b->update(property);
}

void FormView::formChanged(bp::Form& form) {
    setWindowTitle(toQt(form.caption()));
    if (form.staysOnTop() != windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        const bool shown = isVisible();
        setWindowFlag(Qt::WindowStaysOnTopHint, form.staysOnTop());
        if (shown)
            show(); // changing the flags hides the window
    }
    if (m_placing)
        return;
    applyClientSize();
    const Rect& r = form.rect();
    if (pos() != QPoint(m_twips.toPixels(r.left), m_twips.toPixels(r.top)))
        placeAtFormPosition();
}

void FormView::focusChanged(bp::Form&, bp::Control* control) {
    ControlBinding* b = bindingOf(control);
    QWidget* w = b ? b->widget() : nullptr;
    if (!w || w->hasFocus())
        return;
    m_applyingFocus = true;
    w->setFocus(Qt::OtherFocusReason);
    m_applyingFocus = false;
}

bool FormView::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && m_form && m_lastActive != this) {
        m_lastActive = this;
        m_form->activate();
    }
    return QWidget::event(event);
}

// A click on the window itself, between its controls, is the form's own.
bool FormView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize && m_form && !m_form->fixedBorder &&
        !m_sizing) {
        m_sizing = true;
        m_form->resizeClient(m_twips.toTwips(m_client->width()),
                             m_twips.toTwips(m_client->height()));
        m_sizing = false;
    }
    if (watched == m_client && event->type() == QEvent::MouseButtonRelease && m_form) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            m_client->rect().contains(mouse->position().toPoint()))
            m_form->userClick();
    }
    return QWidget::eventFilter(watched, event);
}

// Closing the window is the form's decision: it unloads, and a form that
// ends the program does so through the window system.
void FormView::closeEvent(QCloseEvent* event) {
    if (!m_form) {
        event->accept();
        return;
    }
    event->ignore();
    m_form->userClose();
}

// Enter and Esc are the form's to decide; it follows the focus as the
// bindings report it.
void FormView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (m_form && (enter || key == Qt::Key_Escape) && event->modifiers() == Qt::NoModifier) {
        if (enter)
            m_form->userEnter();
        else
            m_form->userEscape();
        return;
    }
    QWidget::keyPressEvent(event);
}

// A window the person moved keeps its new place in the form, in twips, so
// that windows centred over it follow.
void FormView::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (m_placing || !m_form || !isVisible())
        return;
    const Rect& r = m_form->rect();
    const int left = m_twips.toTwips(pos().x());
    const int top = m_twips.toTwips(pos().y());
    if (m_twips.toPixels(r.left) == pos().x() && m_twips.toPixels(r.top) == pos().y())
        return;
    m_placing = true;
    m_form->setRect({left, top, r.width, r.height});
    m_placing = false;
}

namespace {
// The first local file of a drag, else empty.
QString droppedFile(const QMimeData* data) {
    if (data)
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                return url.toLocalFile();
    return {};
}
} // namespace

void FormView::dragEnterEvent(QDragEnterEvent* event) {
    if (m_form && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void FormView::dropEvent(QDropEvent* event) {
    const QString file = droppedFile(event->mimeData());
    if (!m_form || file.isEmpty())
        return;
    event->acceptProposedAction();
    m_form->userDropFile(file.toStdString());
}

} // namespace bp::gui
