#include "gui/control_bindings.h"

#include "gui/form_view.h"
#include "gui/pictures.h"
#include "gui/qt_convert.h"

#include "core/common/numbers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QTextCursor>
#include <QWheelEvent>

#include <algorithm>
#include <initializer_list>

namespace bp::gui {

namespace {

using K = ControlKind;

Qt::Alignment toQtAlignment(Alignment alignment) {
    switch (alignment) {
    case Alignment::Right:
        return Qt::AlignRight;
    case Alignment::Center:
        return Qt::AlignHCenter;
    case Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

// Labels, check boxes and picture boxes are opaque in their back colour, so
// that they hide the frame lines they stand over.
void fillBackground(QWidget* widget, const Color& color, const QPalette& form) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, toQColor(color, form));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Value fields show their back colour where text is typed; a drop-down list
// is drawn as a button by the style, so it takes the colour there too.
void paintField(QWidget* widget, const Color& color, const QPalette& form, bool drawnAsButton) {
    QPalette palette = widget->palette();
    const QColor c = toQColor(color, form);
    palette.setColor(QPalette::Base, c);
    palette.setColor(QPalette::Window, c);
    if (drawnAsButton)
        palette.setColor(QPalette::Button, c);
    widget->setPalette(palette);
}

// The designs were drawn for a narrower face than the one shown; a caption
// that would be cut is squeezed a little instead.
void fitFont(QWidget* widget, const QString& text, int available) {
    QFont font = widget->parentWidget() ? widget->parentWidget()->font() : widget->font();
    int stretch = font.stretch() > 0 ? font.stretch() : 100;
    font.setStretch(stretch);
    const QString shown = withoutMnemonics(text);
    while (stretch > 70 && QFontMetrics(font).horizontalAdvance(shown) > available) {
        stretch -= 5;
        font.setStretch(stretch);
    }
    widget->setFont(font);
}

// A caption broken into lines at blanks, as command buttons show one that is
// too long for a single line.
QString wrapped(const QString& caption, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    for (const QString& word : caption.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(withoutMnemonics(longer)) > width) {
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines.join(QLatin1Char('\n'));
}

void showSelection(QLineEdit* edit, const Control& c) {
    const int start = utf16Offset(c.text(), c.selStart());
    const int end = utf16Offset(c.text(), c.selStart() + c.selLength());
    if (end > start)
        edit->setSelection(start, end - start);
    else
        edit->setCursorPosition(start);
}

// Everything a binding with a widget shares: placing, enabling, showing,
// the tooltip, the focus and clicks on passive widgets.
class WidgetBinding : public ControlBinding {
  public:
    WidgetBinding(FormView& view, Control& control, QWidget* widget, bool clickable = false)
        : ControlBinding(view, control), m_widget(widget), m_clickable(clickable) {
        widget->setObjectName(toQt(control.qualifiedName()));
        widget->installEventFilter(this);
    }

    QWidget* widget() const override { return m_widget; }

    void update(Property property) override {
        const QSignalBlocker blocker(m_widget);
        switch (property) {
        case Property::Geometry:
            place();
            break;
        case Property::Enabled:
            m_widget->setEnabled(control().enabled());
            break;
        case Property::Visible:
            m_widget->setHidden(!control().visible());
            break;
        case Property::ToolTipText:
            m_widget->setToolTip(toQt(control().toolTipText()));
            break;
        default:
            updateOwn(property);
            break;
        }
    }

  protected:
    virtual void place() { m_widget->setGeometry(view().twips().toPixels(control().rect())); }
    virtual void updateOwn(Property) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (m_clickable && watched == m_widget && event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                m_widget->rect().contains(mouse->position().toPoint())) {
                act([this] { control().userClick(); }, {});
                return true; // the click is this control's, not its container's
            }
        }
        return ControlBinding::eventFilter(watched, event);
    }

    QWidget* const m_widget;

  private:
    const bool m_clickable;
};

class CheckBoxBinding : public WidgetBinding {
  public:
    CheckBoxBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new QCheckBox(parent)) {
        connect(box(), &QCheckBox::clicked, this,
                [this] { act([this] { this->control().userClick(); }, {Property::Value}); });
    }

  private:
    QCheckBox* box() const { return static_cast<QCheckBox*>(m_widget); }

    void updateOwn(Property property) override {
        switch (property) {
        case Property::Value: {
            const int v = control().value();
            box()->setTristate(v == 2);
            box()->setCheckState(v == 1   ? Qt::Checked
                                 : v == 2 ? Qt::PartiallyChecked
                                          : Qt::Unchecked);
            break;
        }
        case Property::Caption:
            box()->setText(toQt(control().caption()));
            fitCaption();
            break;
        case Property::BackColor:
            fillBackground(m_widget, control().backColor(), view().palette());
            break;
        default:
            break;
        }
    }

    void place() override {
        WidgetBinding::place();
        fitCaption();
    }

    void fitCaption() {
        QStyleOptionButton option;
        option.initFrom(box());
        option.rect = QRect(QPoint(), box()->size());
        const QRect text =
            box()->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box());
        fitFont(box(), box()->text(), text.width() - 2);
    }
};

class LineEditBinding : public WidgetBinding {
  public:
    LineEditBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new QLineEdit(parent)) {
        edit()->setAlignment(toQtAlignment(control.alignment) | Qt::AlignVCenter);
        connect(edit(), &QLineEdit::textEdited, this, [this](const QString& text) {
            act([&] { this->control().userType(fromQt(text)); }, {Property::Text});
        });
    }

  private:
    QLineEdit* edit() const { return static_cast<QLineEdit*>(m_widget); }

    void updateOwn(Property property) override {
        switch (property) {
        case Property::Text:
            // Equal text is left alone, so that typing keeps the cursor where it is.
            if (edit()->text() != toQt(control().text())) {
                edit()->setText(toQt(control().text()));
                showSelection(edit(), control());
            }
            break;
        case Property::Selection:
            showSelection(edit(), control());
            break;
        case Property::Locked:
            edit()->setReadOnly(control().locked());
            break;
        case Property::BackColor:
            paintField(m_widget, control().backColor(), view().palette(), false);
            break;
        default:
            break;
        }
    }
};

class PlainTextBinding : public WidgetBinding {
  public:
    PlainTextBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new QPlainTextEdit(parent)) {
        edit()->setTabChangesFocus(true);
        edit()->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        edit()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // Signals are blocked while the model's text is shown, so every
        // change seen here is the person's.
        connect(edit(), &QPlainTextEdit::textChanged, this, [this] {
            act([this] { this->control().userType(withCrLf(edit()->toPlainText())); },
                {Property::Text});
        });
    }

  private:
    QPlainTextEdit* edit() const { return static_cast<QPlainTextEdit*>(m_widget); }

    int shownOffset(int bytes) const {
        const std::string& text = control().text();
        const auto n =
            static_cast<std::size_t>(std::clamp(bytes, 0, static_cast<int>(text.size())));
        return static_cast<int>(withNewlines(text.substr(0, n)).size());
    }

    void showSelection() {
        QTextCursor cursor = edit()->textCursor();
        cursor.setPosition(shownOffset(control().selStart()));
        cursor.setPosition(shownOffset(control().selStart() + control().selLength()),
                           QTextCursor::KeepAnchor);
        edit()->setTextCursor(cursor);
    }

    void updateOwn(Property property) override {
        switch (property) {
        case Property::Text: {
            const QString shown = withNewlines(control().text());
            if (edit()->toPlainText() != shown) {
                edit()->setPlainText(shown);
                showSelection();
            }
            break;
        }
        case Property::Selection:
            showSelection();
            break;
        case Property::Locked:
            edit()->setReadOnly(control().locked());
            break;
        case Property::BackColor:
            paintField(m_widget, control().backColor(), view().palette(), false);
            break;
        default:
            break;
        }
    }
};

class ComboBinding : public WidgetBinding {
  public:
    ComboBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new QComboBox(parent)),
          m_editable(control.kind() == K::ComboEdit) {
        combo()->setEditable(m_editable);
        combo()->setMaxVisibleItems(12);
        if (m_editable) {
            // Typed text is the control's text: never added as an item, never completed.
            combo()->setInsertPolicy(QComboBox::NoInsert);
            combo()->setCompleter(nullptr);
            connect(combo()->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
                act([&] { this->control().userType(fromQt(text)); }, {Property::Text});
            });
        }
        connect(combo(), &QComboBox::activated, this, [this](int index) {
            act([&] { this->control().userChoose(index); }, {Property::ListIndex, Property::Text});
        });
    }

  private:
    QComboBox* combo() const { return static_cast<QComboBox*>(m_widget); }

    void showText() {
        if (m_editable && combo()->currentText() != toQt(control().text()))
            combo()->setEditText(toQt(control().text()));
    }

    void updateOwn(Property property) override {
        switch (property) {
        case Property::List:
            combo()->clear();
            for (const auto& item : control().items())
                combo()->addItem(toQt(item.text));
            combo()->setCurrentIndex(control().listIndex());
            showText();
            break;
        case Property::ListIndex:
            if (combo()->currentIndex() != control().listIndex())
                combo()->setCurrentIndex(control().listIndex());
            showText();
            break;
        case Property::Text:
            showText();
            break;
        case Property::Selection:
            if (m_editable)
                showSelection(combo()->lineEdit(), control());
            break;
        case Property::Locked:
            if (m_editable)
                combo()->lineEdit()->setReadOnly(control().locked());
            break;
        case Property::BackColor:
            paintField(m_widget, control().backColor(), view().palette(), !m_editable);
            break;
        default:
            break;
        }
    }

    const bool m_editable;
};

class LabelBinding : public WidgetBinding {
  public:
    LabelBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new QLabel(parent), true) {
        label()->setTextFormat(Qt::PlainText);
        label()->setWordWrap(true);
        label()->setAlignment(toQtAlignment(control.alignment) | Qt::AlignTop);
        if (control.border) {
            label()->setFrameShape(QFrame::Box);
            label()->setLineWidth(1);
        }
        if (control.bold) {
            QFont font = label()->font();
            font.setBold(true);
            label()->setFont(font);
        }
    }

    bool lightweight() const override { return true; }

  private:
    QLabel* label() const { return static_cast<QLabel*>(m_widget); }

    void updateOwn(Property property) override {
        switch (property) {
        case Property::Caption:
            label()->setText(withoutMnemonics(toQt(control().caption())));
            break;
        case Property::BackColor:
            fillBackground(m_widget, control().backColor(), view().palette());
            break;
        default:
            break;
        }
    }
};

class ButtonBinding : public WidgetBinding {
  public:
    ButtonBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new QPushButton(parent)) {
        button()->setAutoDefault(false);
        button()->setDefault(control.defaultButton);
        if (!control.shortcut.empty())
            button()->setShortcut(QKeySequence(toQt(control.shortcut)));
        connect(button(), &QPushButton::clicked, this,
                [this] { act([this] { this->control().userClick(); }, {}); });
    }

  private:
    QPushButton* button() const { return static_cast<QPushButton*>(m_widget); }

    void updateOwn(Property property) override {
        if (property == Property::Caption)
            showCaption();
    }

    void place() override {
        WidgetBinding::place();
        showCaption();
    }

    void showCaption() {
        const QString caption = toQt(control().caption());
        const int margin =
            button()->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button());
        const int width = button()->width() - 2 * margin;
        const QFontMetrics metrics(button()->font());
        const bool fitsOnOneLine = metrics.horizontalAdvance(withoutMnemonics(caption)) <= width;
        button()->setText(fitsOnOneLine ? caption : wrapped(caption, metrics, width));
    }
};

class FrameBinding : public WidgetBinding {
  public:
    FrameBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new QGroupBox(parent)) {}

    QWidget* childArea() const override { return m_widget; }

  private:
    void updateOwn(Property property) override {
        if (property == Property::Caption)
            static_cast<QGroupBox*>(m_widget)->setTitle(toQt(control().caption()));
    }
};

class ShapeBinding : public WidgetBinding {
  public:
    ShapeBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new QFrame(parent)) {
        auto* frame = static_cast<QFrame*>(m_widget);
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    bool lightweight() const override { return true; }
};

class PictureBinding : public WidgetBinding {
  public:
    PictureBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new QLabel(parent), true) {
        auto* label = static_cast<QLabel*>(m_widget);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setPixmap(drawPicture(control.picture, view.twips().dpi() / 96.0,
                                     view.devicePixelRatioF(),
                                     view.palette().color(QPalette::Window).lightness() < 128));
        if (control.handler(Event::Click))
            label->setCursor(Qt::PointingHandCursor);
    }

    QWidget* childArea() const override { return m_widget; }
    bool lightweight() const override { return control().kind() == K::Image; }

  private:
    void updateOwn(Property property) override {
        if (property == Property::BackColor && control().kind() == K::PictureBox)
            fillBackground(m_widget, control().backColor(), view().palette());
    }
};

class ProgressBinding : public WidgetBinding {
  public:
    ProgressBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new QProgressBar(parent)) {
        bar()->setRange(0, 100);
    }

  private:
    QProgressBar* bar() const { return static_cast<QProgressBar*>(m_widget); }

    void updateOwn(Property property) override {
        if (property == Property::Value)
            bar()->setValue(std::clamp(control().value(), 0, 100));
    }
};

// A slider with a stop for every item of the control.
class SliderBinding : public WidgetBinding {
  public:
    SliderBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new QSlider(Qt::Horizontal, parent)) {
        slider()->setTickPosition(QSlider::TicksBelow);
        slider()->setPageStep(1);
        connect(slider(), &QSlider::valueChanged, this, [this](int value) {
            act([this, value] { this->control().userChoose(value); }, {Property::ListIndex});
        });
    }

  private:
    QSlider* slider() const { return static_cast<QSlider*>(m_widget); }

    void updateOwn(Property property) override {
        if (property == Property::List || property == Property::ListIndex) {
            slider()->setRange(0, std::max(0, control().listCount() - 1));
            slider()->setValue(std::max(0, control().listIndex()));
        }
    }
};

// A picture file in a scrolled view: fitted to the view, or at a zoom in per
// cent.
class ImageViewBinding : public WidgetBinding {
  public:
    ImageViewBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new QScrollArea(parent)), m_label(new QLabel) {
        m_label->setAlignment(Qt::AlignCenter);
        area()->setWidget(m_label);
        area()->setAlignment(Qt::AlignCenter);
        area()->setFrameShape(QFrame::StyledPanel);
        area()->viewport()->installEventFilter(this);
        area()->installEventFilter(this);
        area()->setFocusPolicy(Qt::StrongFocus);
    }

  private:
    QScrollArea* area() const { return static_cast<QScrollArea*>(m_widget); }

    // The zoom shown now, also when fitted.
    int shownPercent() const {
        if (control().value() > 0 || m_image.isNull() || m_image.width() == 0)
            return control().value();
        return std::max(1, m_label->pixmap().deviceIndependentSize().toSize().width() * 100 /
                               m_image.width());
    }
    void zoom(int direction) { control().setValue(zoomStep(shownPercent(), direction)); }

    // The wheel and Ctrl with + or - zoom, a drag moves the picture, a
    // double click fits it again.
    bool gesture(QEvent* event) {
        switch (event->type()) {
        case QEvent::Wheel: {
            const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
            if (delta != 0)
                zoom(delta);
            return true;
        }
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!(key->modifiers() & Qt::ControlModifier))
                return false;
            if (key->key() == Qt::Key_Plus || key->key() == Qt::Key_Equal)
                zoom(1);
            else if (key->key() == Qt::Key_Minus)
                zoom(-1);
            else if (key->key() == Qt::Key_0)
                control().setValue(0);
            else
                return false;
            return true;
        }
        case QEvent::MouseButtonDblClick:
            control().setValue(0);
            return true;
        case QEvent::MouseButtonPress:
            m_dragFrom = static_cast<QMouseEvent*>(event)->position().toPoint();
            area()->viewport()->setCursor(Qt::ClosedHandCursor);
            return false;
        case QEvent::MouseMove: {
            if (!(static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton))
                return false;
            const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            const QPoint moved = at - m_dragFrom;
            m_dragFrom = at;
            area()->horizontalScrollBar()->setValue(area()->horizontalScrollBar()->value() -
                                                    moved.x());
            area()->verticalScrollBar()->setValue(area()->verticalScrollBar()->value() - moved.y());
            return true;
        }
        case QEvent::MouseButtonRelease:
            area()->viewport()->unsetCursor();
            return false;
        default:
            return false;
        }
    }

    void updateOwn(Property property) override {
        if (property == Property::Path) {
            m_image = readPicture(toQt(control().path()));
            showImage();
        } else if (property == Property::Value) {
            showImage();
        } else if (property == Property::BackColor) {
            fillBackground(area()->viewport(), control().backColor(), view().palette());
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == area()->viewport() && event->type() == QEvent::Resize &&
            control().value() <= 0)
            showImage();
        if ((watched == area()->viewport() || watched == area()) && control().enabled() &&
            gesture(event))
            return true;
        return WidgetBinding::eventFilter(watched, event);
    }

    void showImage() {
        if (m_image.isNull()) {
            m_label->setPixmap({});
            m_label->setText(control().path().empty() ? QString()
                                                      : tr("The picture cannot be read."));
            m_label->adjustSize();
            return;
        }
        const int zoom = control().value();
        const bool fit = zoom <= 0;
        // Fitted, the picture needs no scroll bars, and has their room too.
        const auto policy = fit ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
        area()->setHorizontalScrollBarPolicy(policy);
        area()->setVerticalScrollBarPolicy(policy);
        area()->setWidgetResizable(fit);
        QSize size = m_image.size() * std::max(zoom, 1) / 100;
        if (fit)
            size = m_image.size().scaled(m_image.size().boundedTo(area()->maximumViewportSize()),
                                         Qt::KeepAspectRatio);
        const qreal ratio = area()->devicePixelRatioF();
        QPixmap pixmap = QPixmap::fromImage(
            m_image.scaled(size * ratio, Qt::KeepAspectRatio,
                           zoom == 100 ? Qt::FastTransformation : Qt::SmoothTransformation));
        pixmap.setDevicePixelRatio(ratio);
        m_label->setPixmap(pixmap);
        if (!fit)
            m_label->resize(size);
    }

    QLabel* m_label;
    QImage m_image;
    QPoint m_dragFrom;
};

// A line across the window: etched when it runs straight, as separators are.
class LineWidget : public QWidget {
  public:
    using QWidget::QWidget;
    QPoint from, to;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const bool straight = from.x() == to.x() || from.y() == to.y();
        painter.setPen(palette().color(straight ? QPalette::Mid : QPalette::WindowText));
        painter.drawLine(from, to);
        if (!straight)
            return;
        const QPoint shift = from.y() == to.y() ? QPoint(0, 1) : QPoint(1, 0);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(from + shift, to + shift);
    }
};

class LineBinding : public WidgetBinding {
  public:
    LineBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new LineWidget(parent)) {
        m_widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    bool lightweight() const override { return true; }

  private:
    // The rect runs from the line's start (left, top) to its end.
    void place() override {
        const Rect& r = control().rect();
        const Twips& t = view().twips();
        const QPoint a(t.toPixels(r.left), t.toPixels(r.top));
        const QPoint b(t.toPixels(r.left + r.width), t.toPixels(r.top + r.height));
        const QRect box = QRect(a, b).normalized().adjusted(0, 0, 2, 2);
        auto* line = static_cast<LineWidget*>(m_widget);
        line->from = a - box.topLeft();
        line->to = b - box.topLeft();
        line->setGeometry(box);
        line->update();
    }
};

// The drive list offers the file system's roots: "/" and the home folder.
class DriveListBinding : public WidgetBinding {
  public:
    DriveListBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new QComboBox(parent)) {
        combo()->addItem(QStringLiteral("/"), QStringLiteral("/"));
        const QString home = QDir::homePath();
        if (home != QStringLiteral("/"))
            combo()->addItem(home, home);
        connect(combo(), &QComboBox::activated, this, [this](int index) {
            const std::string path = fromQt(combo()->itemData(index).toString());
            act([&] { this->control().setPath(path); }, {Property::Path});
        });
    }

  private:
    QComboBox* combo() const { return static_cast<QComboBox*>(m_widget); }

    void updateOwn(Property property) override {
        switch (property) {
        case Property::Path: {
            const QString path = toQt(control().path());
            int index = combo()->findData(path);
            if (index < 0 && !path.isEmpty()) {
                combo()->addItem(path, path);
                index = combo()->count() - 1;
            }
            combo()->setCurrentIndex(index);
            break;
        }
        case Property::BackColor:
            paintField(m_widget, control().backColor(), view().palette(), true);
            break;
        default:
            break;
        }
    }
};

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;

// Indents each folder by its depth below the root.
class FolderDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented = option;
        indented.rect.adjust(index.data(kDepthRole).toInt() * indentation(option), 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }

  private:
    static int indentation(const QStyleOptionViewItem& option) {
        return option.fontMetrics.height() * 3 / 4;
    }
};

// The folder list shows the path down to the folder shown, then the
// folders in it; choosing one shows that folder.
class DirListBinding : public WidgetBinding {
  public:
    DirListBinding(FormView& view, Control& control, QWidget* parent)
        : WidgetBinding(view, control, new QListWidget(parent)) {
        list()->setItemDelegate(new FolderDelegate(list()));
        list()->setUniformItemSizes(true);
        // A double click opens a folder; Enter is left to the window's default button.
        connect(list(), &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
            const std::string path = fromQt(item->data(kPathRole).toString());
            act([&] { this->control().setPath(path); }, {Property::Path});
        });
    }

  private:
    QListWidget* list() const { return static_cast<QListWidget*>(m_widget); }

    QListWidgetItem* addFolder(const QString& name, const QString& path, int depth, bool open) {
        const QStyle* style = list()->style();
        auto* item = new QListWidgetItem(
            style->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon), name,
            list());
        item->setData(kPathRole, path);
        item->setData(kDepthRole, depth);
        return item;
    }

    void showFolder() {
        list()->clear();
        const QString path = toQt(control().path());
        if (path.isEmpty())
            return;
        QListWidgetItem* current = addFolder(QStringLiteral("/"), QStringLiteral("/"), 0, true);
        QString walked;
        int depth = 0;
        for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            walked += QLatin1Char('/') + part;
            current = addFolder(part, walked, ++depth, true);
        }
        const QString base = walked.isEmpty() ? QStringLiteral("/") : walked;
        const QStringList folders =
            QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
        for (const QString& name : folders)
            addFolder(name, walked + QLatin1Char('/') + name, depth + 1, false);
        list()->setCurrentItem(current);
    }

    void updateOwn(Property property) override {
        switch (property) {
        case Property::Path:
            showFolder();
            break;
        case Property::BackColor:
            paintField(m_widget, control().backColor(), view().palette(), false);
            break;
        default:
            break;
        }
    }
};

class MenuBinding : public ControlBinding {
  public:
    MenuBinding(FormView& view, Control& control, QMenuBar* bar, QMenu* parentMenu,
                bool holdsEntries)
        : ControlBinding(view, control) {
        if (holdsEntries || !parentMenu) {
            if (holdsEntries) {
                m_menu = parentMenu ? parentMenu->addMenu(QString()) : bar->addMenu(QString());
                m_action = m_menu->menuAction();
                // A menu's own Click comes as it opens, so that it can prepare its entries.
                connect(m_menu, &QMenu::aboutToShow, this,
                        [this] { act([this] { this->control().userClick(); }, {}); });
            } else {
                m_action = bar->addAction(QString());
            }
        } else {
            m_action = parentMenu->addAction(QString());
        }
        m_action->setObjectName(toQt(control.qualifiedName()));
        if (!control.shortcut.empty())
            m_action->setShortcut(QKeySequence(toQt(control.shortcut)));
        if (!m_menu)
            connect(m_action, &QAction::triggered, this,
                    [this] { act([this] { this->control().userClick(); }, {}); });
    }

    QMenu* menu() const { return m_menu; }

    void update(Property property) override {
        const QSignalBlocker blocker(m_action);
        switch (property) {
        case Property::Caption: {
            QString caption = toQt(control().caption());
            if (control().literalCaption)
                caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
            const bool separator = caption == QStringLiteral("-");
            m_action->setSeparator(separator);
            m_action->setText(separator ? QString() : caption);
            if (m_menu)
                m_menu->setTitle(caption);
            break;
        }
        case Property::Enabled:
            m_action->setEnabled(control().enabled());
            break;
        case Property::Visible:
            m_action->setVisible(control().visible());
            break;
        default:
            break;
        }
    }

  private:
    QAction* m_action = nullptr;
    QMenu* m_menu = nullptr;
};

} // namespace

ControlBinding::ControlBinding(FormView& view, Control& control)
    : m_view(view), m_control(control) {}

void ControlBinding::updateAll() {
    for (Property property :
         {Property::Geometry, Property::List, Property::Value, Property::Text, Property::Caption,
          Property::ListIndex, Property::Enabled, Property::Visible, Property::BackColor,
          Property::ToolTipText, Property::Locked, Property::Selection, Property::Path})
        update(property);
}

void ControlBinding::act(const std::function<void()>& action,
                         std::initializer_list<Property> shown) {
    // A view whose form has been unloaded only waits to be deleted.
    if (!m_view.form())
        return;
    action();
    for (Property property : shown)
        update(property);
}

bool ControlBinding::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        m_view.widgetFocused(m_control);
    return QObject::eventFilter(watched, event);
}

std::unique_ptr<ControlBinding> createBinding(FormView& view, Control& control, QWidget* parent) {
    switch (control.kind()) {
    case K::CheckBox:
        return std::make_unique<CheckBoxBinding>(view, control, parent);
    case K::TextBox:
        if (control.multiLine)
            return std::make_unique<PlainTextBinding>(view, control, parent);
        return std::make_unique<LineEditBinding>(view, control, parent);
    case K::ComboList:
    case K::ComboEdit:
        return std::make_unique<ComboBinding>(view, control, parent);
    case K::Label:
        return std::make_unique<LabelBinding>(view, control, parent);
    case K::Button:
        return std::make_unique<ButtonBinding>(view, control, parent);
    case K::Shape:
        return std::make_unique<ShapeBinding>(view, control, parent);
    case K::Frame:
        return std::make_unique<FrameBinding>(view, control, parent);
    case K::PictureBox:
    case K::Image:
        return std::make_unique<PictureBinding>(view, control, parent);
    case K::Line:
        return std::make_unique<LineBinding>(view, control, parent);
    case K::DriveList:
        return std::make_unique<DriveListBinding>(view, control, parent);
    case K::DirList:
        return std::make_unique<DirListBinding>(view, control, parent);
    case K::ProgressBar:
        return std::make_unique<ProgressBinding>(view, control, parent);
    case K::Slider:
        return std::make_unique<SliderBinding>(view, control, parent);
    case K::ImageView:
        return std::make_unique<ImageViewBinding>(view, control, parent);
    case K::Menu:
    case K::FileList:
    case K::Timer:
    case K::CommonDialog:
        break;
    }
    return nullptr;
}

std::unique_ptr<ControlBinding> createMenuBinding(FormView& view, Control& control, QMenuBar* bar,
                                                  QMenu* parentMenu, bool holdsEntries) {
    return std::make_unique<MenuBinding>(view, control, bar, parentMenu, holdsEntries);
}

QMenu* menuOf(ControlBinding& menuBinding) {
    auto* menu = dynamic_cast<MenuBinding*>(&menuBinding);
    return menu ? menu->menu() : nullptr;
}

} // namespace bp::gui
