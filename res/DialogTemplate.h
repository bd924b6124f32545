#pragma once
// Dialog templates and the menu as data: controls with their ids, captions and positions
// in dialog units, in tab order.
#include <string>
#include <vector>

enum class ControlKind {
    PushButton,
    DefPushButton,
    Edit,
    MultiLineEdit,
    Label,
    RadioButton,
    CheckBox,
    ListView
};

enum ControlStyle : unsigned {
    StyleNone = 0,
    StyleTabStop = 1u << 0,
    StyleGroup = 1u << 1,  // starts a new group (radio buttons)
    StyleDisabled = 1u << 2,
    StyleBorder = 1u << 3,
    StyleAutoHScroll = 1u << 4,
    StyleAutoVScroll = 1u << 5,
    StyleVScroll = 1u << 6,
    StyleShowSelAlways = 1u << 7,  // list: keeps showing the selection without the focus
};

struct ControlTemplate {
    int id;  // -1 for a static label without an id
    ControlKind kind;
    std::string caption;
    int x, y, width, height;  // dialog units
    unsigned style;
};

struct DialogTemplate {
    int id;
    std::string caption;
    int width, height;  // dialog units
    std::string fontFace;
    int fontPoints;
    std::vector<ControlTemplate> controls;  // template order = tab order
    bool minimizeBox = false;
};

struct MenuItemTemplate {
    int id;               // 0 for a separator
    std::string caption;  // "&New\tCtrl+N": the part after the tab is the shortcut shown
    bool grayed = false;
};

struct MenuTemplate {
    std::string caption;
    std::vector<MenuItemTemplate> items;
};

// The templates of this program, by resource id (102, 129, 130, 134, 135, 137).
const DialogTemplate& FindDialogTemplate(int id);
// Menu 132.
const std::vector<MenuTemplate>& MainMenuTemplate();
