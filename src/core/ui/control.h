#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bp {

class Form;

enum class ControlKind {
    CheckBox,
    TextBox,
    ComboList, // drop-down list: only its items can be chosen
    ComboEdit, // drop-down combo: editable text
    Label,
    Button,
    Menu,
    Shape, // a drawn rectangle framing a group
    Frame, // a captioned group box; its children are placed inside it
    Line,
    PictureBox,
    Image,
    Timer,
    DriveList,
    DirList,
    FileList,
    CommonDialog,
    ProgressBar, // Value: per cent done
    Slider,      // its stops are the items; ListIndex is the one at the knob
    ImageView,   // Path: the picture file; Value: zoom in per cent, 0 fits it to the view
};

const char* kindName(ControlKind kind);

// A colour as the windows know it: either a plain RGB value or the system's
// button-face colour, which is resolved only when drawn.
struct Color {
    bool buttonFace = false;
    std::uint8_t r = 0, g = 0, b = 0;

    static Color rgb(int r, int g, int b);
    static Color white() { return rgb(255, 255, 255); }
    static Color systemButtonFace();
    std::string text() const; // "#RRGGBB" or "buttonface"
    bool operator==(const Color&) const = default;
};

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

enum class Property {
    Value,
    Text,
    Caption,
    ListIndex,
    List,
    Enabled,
    Visible,
    BackColor,
    ToolTipText,
    Locked,
    Geometry,
    Selection,
    Interval,
    Path,
};

enum class Alignment { Left, Right, Center };

enum class Event { Click, Change, GotFocus, Timer, EnterKey };
const char* eventName(Event event);

// One named control of a form. Setting Value, Text or ListIndex from code
// raises the same handler as a person's action, synchronously and only when
// the value really changes; the cascades between handlers rely on that.
class Control {
  public:
    struct Item {
        std::string text;
        int itemData = 0;
    };

    Control(Form& form, ControlKind kind, std::string name, int index);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Form& form() const { return m_form; }
    ControlKind kind() const { return m_kind; }
    const std::string& name() const { return m_name; }
    int index() const { return m_index; }
    std::string qualifiedName() const; // "Txt_CameraValue(0)"

    int value() const { return m_value; }
    void setValue(int value);

    const std::string& text() const { return m_text; }
    void setText(const std::string& text);

    const std::string& caption() const { return m_caption; }
    void setCaption(const std::string& caption);

    int listIndex() const { return m_listIndex; }
    void setListIndex(int index);
    int listCount() const { return static_cast<int>(m_items.size()); }
    const std::string& list(int i) const;
    int itemData(int i) const;
    void addItem(const std::string& text, int itemData = 0);
    void removeItem(int i);
    void clearList();
    const std::vector<Item>& items() const { return m_items; }

    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool visible() const { return m_visible; }
    void setVisible(bool visible);
    const Color& backColor() const { return m_backColor; }
    void setBackColor(const Color& color);
    const std::string& toolTipText() const { return m_toolTip; }
    void setToolTipText(const std::string& tip);
    bool locked() const { return m_locked; }
    void setLocked(bool locked);

    const Rect& rect() const { return m_rect; }
    void setRect(const Rect& rect);

    int selStart() const { return m_selStart; }
    int selLength() const { return m_selLength; }
    void setSelection(int start, int length);

    int interval() const { return m_interval; }
    void setInterval(int ms);

    // Folder, drive or file list: the folder (or drive) shown.
    const std::string& path() const { return m_path; }
    void setPath(const std::string& path);

    // Design-time attributes, read by the GUI; they never change at run time.
    bool bold = false;
    bool multiLine = false;
    bool border = false;
    Alignment alignment = Alignment::Left;
    int tabIndex = -1;     // -1: not a tab stop
    std::string container; // qualified name of the frame, picture or menu holding it
    std::string shortcut;  // menu entries and buttons: "F1", "Ctrl+R"
    std::string picture;   // picture resource name for images and picture boxes
    std::string pattern;   // file lists
    // How the control follows a window the person resizes: its right and
    // bottom edges with the window's (grow), or its whole place (keep).
    bool growWidth = false;
    bool growHeight = false;
    bool keepRight = false;
    bool keepBottom = false;
    bool defaultButton = false;  // pressed by Enter
    bool cancelButton = false;   // pressed by Esc
    bool literalCaption = false; // shown as it stands: an "&" marks no access key

    // Handlers, named after the event they serve.
    std::function<void()> onClick;
    std::function<void()> onChange;
    std::function<void()> onGotFocus;
    std::function<void()> onTimer;
    // Enter pressed while the control has the focus; a control with this
    // handler keeps the key from the window's default button.
    std::function<void()> onEnterKey;

    // What a person does. They raise the same handlers as code, but a person
    // choosing the selected item again still raises Click, as list boxes do.
    void userClick();
    void userType(const std::string& text);
    void userChoose(int index);

    // Raises a handler with the program's rule for errors: a failing handler
    // is abandoned, and nothing escapes into the caller.
    void raise(Event event);
    const std::function<void()>& handler(Event event) const;

  private:
    void notify(Property property);
    void selectMatchingItem();

    Form& m_form;
    ControlKind m_kind;
    std::string m_name;
    int m_index;

    int m_value = 0;
    std::string m_text;
    std::string m_caption;
    std::vector<Item> m_items;
    int m_listIndex = -1;
    bool m_enabled = true;
    bool m_visible = true;
    Color m_backColor = Color::white();
    std::string m_toolTip;
    bool m_locked = false;
    Rect m_rect;
    int m_selStart = 0;
    int m_selLength = 0;
    int m_interval = 0;
    std::string m_path;
    int m_depth = 0;
};

// A zero-based group of like controls, addressed by index.
class ControlArray {
  public:
    ControlArray() = default;
    explicit ControlArray(std::vector<Control*> items) : m_items(std::move(items)) {}
    Control& operator[](int i) const { return *m_items.at(static_cast<std::size_t>(i)); }
    int size() const { return static_cast<int>(m_items.size()); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

  private:
    std::vector<Control*> m_items;
};

} // namespace bp
