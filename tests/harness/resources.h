// Reads a built program's resources as the resource compiler wrote them, without running
// the program: its dialog templates, strings and menus. What a template says can differ from
// what the .rc file says (the ICON statement drops its size), so the tests read the binary.
#pragma once

#include <windows.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace resources {

// One control of a dialog template, in template order.
struct TemplateControl {
    int id = 0;                 // -1 for a control without one
    WORD classAtom = 0;         // 0x0080 button, 0x0081 edit, 0x0082 static...; 0 for a named class
    std::string className;      // the atom's class ("Button", "Static"...) or the name as written ("STATIC")
    std::string text;           // empty when the text is a resource number
    int textResource = -1;      // the resource number given as text (an icon's 128), -1 for none
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
};

struct DialogTemplate {
    bool extended = false;      // written as DIALOGEX
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string title;
    int fontSize = 0;           // points; 0 without DS_SETFONT
    std::string fontFace;
    std::vector<TemplateControl> controls;
};

// What a control is, from its class and the style bits that make its kind.
enum class ControlKind {
    PushButton,
    DefaultPushButton,
    AutoRadioButton,
    AutoCheckBox,
    GroupBox,
    Text,               // static, left-aligned
    RightText,          // SS_RIGHT
    CentredText,        // SS_CENTER
    TextWithoutWrap,    // SS_LEFTNOWORDWRAP
    Icon,               // SS_ICON
    ProgressBar,
    ProgressBarWithBorder,
    Other,
};
ControlKind KindOf(TemplateControl const& control);
char const* KindName(ControlKind kind);

// A control as a test's table gives it; icon is the resource number an icon shows.
struct ControlRow {
    int id;
    ControlKind kind;
    std::string text;
    int x, y, cx, cy;
    int icon = -1;
};
ControlRow RowOf(TemplateControl const& control);
bool operator==(ControlRow const& a, ControlRow const& b);
// How GoogleTest prints a row: as the table writes it.
void PrintTo(ControlRow const& row, std::ostream* out);

// One item of a menu resource; a popup holds its items.
struct MenuItem {
    std::string text;           // empty for a separator
    UINT command = 0;           // 0 for a popup
    WORD flags = 0;             // MF_POPUP, MF_GRAYED... as written (MF_END left out)
    std::vector<MenuItem> items;
};

// A program file loaded as data: nothing of it runs.
class Module {
public:
    explicit Module(std::string const& path);
    ~Module();
    Module(Module const&) = delete;
    Module& operator=(Module const&) = delete;

    explicit operator bool() const { return module_ != nullptr; }
    // The dialog template with this number; nullopt when there is none or it cannot be read.
    std::optional<DialogTemplate> Dialog(int id) const;
    // The string with this number; nullopt when the string table has none.
    std::optional<std::string> String(int id) const;
    // The top-level items of the menu with this number; nullopt when there is none.
    std::optional<std::vector<MenuItem>> Menu(int id) const;

private:
    HMODULE module_ = nullptr;
};

}  // namespace resources
