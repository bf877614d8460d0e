#include "resources.h"

#include <commctrl.h>

namespace resources {

namespace {

// Walks a resource's words; templates and menus are made of 16-bit units.
class Reader {
public:
    Reader(void const* data, DWORD size)
        : start_(static_cast<BYTE const*>(data)), at_(start_), end_(start_ + size)
    {
    }

    bool Failed() const { return failed_; }

    WORD Word()
    {
        WORD value = 0;
        Take(&value, sizeof value);
        return value;
    }
    DWORD Dword()
    {
        DWORD value = 0;
        Take(&value, sizeof value);
        return value;
    }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte()
    {
        BYTE value = 0;
        Take(&value, sizeof value);
        return value;
    }

    // A zero-terminated UTF-16 text, as the system's ANSI calls would give it.
    std::string Text()
    {
        std::wstring wide;
        for (WORD unit = Word(); unit != 0 && !failed_; unit = Word())
            wide += static_cast<wchar_t>(unit);
        return Narrow(wide);
    }

    // A name or a number: 0xFFFF then the number, or a text (an empty one is "none").
    void TextOrNumber(std::string& text, int& number)
    {
        text.clear();
        number = -1;
        if (Peek() == 0xFFFF) {
            Word();
            number = Word();
        } else {
            text = Text();
        }
    }

    void Skip(std::size_t bytes)
    {
        if (static_cast<std::size_t>(end_ - at_) < bytes)
            failed_ = true;
        else
            at_ += bytes;
    }

    // Every control of a template starts on a 32-bit boundary.
    void AlignToDword() { Skip((4 - (at_ - start_) % 4) % 4); }

    static std::string Narrow(std::wstring const& wide)
    {
        if (wide.empty())
            return {};
        int const size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                             nullptr, nullptr);
        std::string text(size, '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0], size, nullptr,
                            nullptr);
        return text;
    }

private:
    WORD Peek() const
    {
        WORD value = 0;
        if (end_ - at_ >= 2)
            CopyMemory(&value, at_, sizeof value);
        return value;
    }

    void Take(void* value, std::size_t size)
    {
        if (static_cast<std::size_t>(end_ - at_) < size) {
            failed_ = true;
            return;
        }
        CopyMemory(value, at_, size);
        at_ += size;
    }

    BYTE const* start_;
    BYTE const* at_;
    BYTE const* end_;
    bool failed_ = false;
};

// The class of a control given by atom.
std::string AtomClass(WORD atom)
{
    switch (atom) {
    case 0x0080: return "Button";
    case 0x0081: return "Edit";
    case 0x0082: return "Static";
    case 0x0083: return "ListBox";
    case 0x0084: return "ScrollBar";
    case 0x0085: return "ComboBox";
    }
    return "#" + std::to_string(atom);
}

TemplateControl ReadControl(Reader& in, bool extended)
{
    TemplateControl control;
    in.AlignToDword();
    if (extended) {
        in.Dword();  // help id
        control.exStyle = in.Dword();
        control.style = in.Dword();
    } else {
        control.style = in.Dword();
        control.exStyle = in.Dword();
    }
    control.x = in.Short();
    control.y = in.Short();
    control.cx = in.Short();
    control.cy = in.Short();
    control.id = extended ? static_cast<int>(in.Dword()) : in.Short();
    int atom = -1;
    in.TextOrNumber(control.className, atom);
    if (atom >= 0) {
        control.classAtom = static_cast<WORD>(atom);
        control.className = AtomClass(control.classAtom);
    }
    in.TextOrNumber(control.text, control.textResource);
    in.Skip(in.Word());  // creation data
    return control;
}

// A popup's items up to the one marked MF_END.
std::vector<MenuItem> ReadMenuItems(Reader& in)
{
    std::vector<MenuItem> items;
    for (bool last = false; !last && !in.Failed();) {
        MenuItem item;
        WORD const flags = in.Word();
        last = (flags & MF_END) != 0;
        item.flags = flags & ~MF_END;
        if (!(flags & MF_POPUP))
            item.command = in.Word();
        item.text = in.Text();
        if (flags & MF_POPUP)
            item.items = ReadMenuItems(in);
        items.push_back(item);
    }
    return items;
}

}  // namespace

ControlKind KindOf(TemplateControl const& control)
{
    // A class written by name may come in any case ("STATIC"): the system's names ignore it.
    if (lstrcmpiA(control.className.c_str(), "Button") == 0) {
        switch (control.style & BS_TYPEMASK) {
        case BS_PUSHBUTTON: return ControlKind::PushButton;
        case BS_DEFPUSHBUTTON: return ControlKind::DefaultPushButton;
        case BS_AUTORADIOBUTTON: return ControlKind::AutoRadioButton;
        case BS_AUTOCHECKBOX: return ControlKind::AutoCheckBox;
        case BS_GROUPBOX: return ControlKind::GroupBox;
        }
    } else if (lstrcmpiA(control.className.c_str(), "Static") == 0) {
        switch (control.style & SS_TYPEMASK) {
        case SS_LEFT: return ControlKind::Text;
        case SS_RIGHT: return ControlKind::RightText;
        case SS_CENTER: return ControlKind::CentredText;
        case SS_LEFTNOWORDWRAP: return ControlKind::TextWithoutWrap;
        case SS_ICON: return ControlKind::Icon;
        }
    } else if (lstrcmpiA(control.className.c_str(), PROGRESS_CLASSA) == 0) {
        return control.style & WS_BORDER ? ControlKind::ProgressBarWithBorder : ControlKind::ProgressBar;
    }
    return ControlKind::Other;
}

char const* KindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::PushButton: return "push button";
    case ControlKind::DefaultPushButton: return "default push button";
    case ControlKind::AutoRadioButton: return "automatic radio button";
    case ControlKind::AutoCheckBox: return "automatic check box";
    case ControlKind::GroupBox: return "group box";
    case ControlKind::Text: return "text";
    case ControlKind::RightText: return "text, right-aligned";
    case ControlKind::CentredText: return "centred text";
    case ControlKind::TextWithoutWrap: return "text without word wrap";
    case ControlKind::Icon: return "icon";
    case ControlKind::ProgressBar: return "progress bar";
    case ControlKind::ProgressBarWithBorder: return "progress bar with border";
    case ControlKind::Other: break;
    }
    return "other";
}

ControlRow RowOf(TemplateControl const& control)
{
    return {control.id, KindOf(control), control.text, control.x,
            control.y,  control.cx,      control.cy,   control.textResource};
}

bool operator==(ControlRow const& a, ControlRow const& b)
{
    return a.id == b.id && a.kind == b.kind && a.text == b.text && a.x == b.x && a.y == b.y && a.cx == b.cx &&
           a.cy == b.cy && a.icon == b.icon;
}

void PrintTo(ControlRow const& row, std::ostream* out)
{
    *out << row.id << ", " << KindName(row.kind) << ", \"" << row.text << "\", " << row.x << ", " << row.y << ", "
         << row.cx << ", " << row.cy;
    if (row.icon >= 0)
        *out << ", icon " << row.icon;
}

Module::Module(std::string const& path)
    : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
{
}

Module::~Module()
{
    if (module_)
        FreeLibrary(module_);
}

std::optional<DialogTemplate> Module::Dialog(int id) const
{
    HRSRC const found = module_ ? FindResourceA(module_, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5)) : nullptr;
    void const* data = found ? LockResource(LoadResource(module_, found)) : nullptr;
    if (!data)
        return std::nullopt;
    Reader in(data, SizeofResource(module_, found));

    DialogTemplate dialog;
    WORD const version = in.Word();
    dialog.extended = version == 1 && in.Word() == 0xFFFF;
    if (dialog.extended) {
        in.Dword();  // help id
        dialog.exStyle = in.Dword();
        dialog.style = in.Dword();
    } else {
        in = Reader(data, SizeofResource(module_, found));
        dialog.style = in.Dword();
        dialog.exStyle = in.Dword();
    }
    WORD const count = in.Word();
    dialog.x = in.Short();
    dialog.y = in.Short();
    dialog.cx = in.Short();
    dialog.cy = in.Short();
    std::string name;
    int number = -1;
    in.TextOrNumber(name, number);  // menu
    in.TextOrNumber(name, number);  // window class
    dialog.title = in.Text();
    if (dialog.style & DS_SETFONT) {
        dialog.fontSize = in.Word();
        if (dialog.extended) {
            in.Word();  // weight
            in.Byte();  // italic
            in.Byte();  // character set
        }
        dialog.fontFace = in.Text();
    }
    for (WORD i = 0; i < count && !in.Failed(); ++i)
        dialog.controls.push_back(ReadControl(in, dialog.extended));
    if (in.Failed())
        return std::nullopt;
    return dialog;
}

std::optional<std::string> Module::String(int id) const
{
    // Strings are kept sixteen to a block, block n + 1 holding the numbers 16n to 16n + 15,
    // each as a length and that many UTF-16 units; a missing string has length 0.
    int const block = id / 16 + 1;
    HRSRC const found = module_ ? FindResourceA(module_, MAKEINTRESOURCEA(block), MAKEINTRESOURCEA(6)) : nullptr;
    void const* data = found ? LockResource(LoadResource(module_, found)) : nullptr;
    if (!data)
        return std::nullopt;
    Reader in(data, SizeofResource(module_, found));
    for (int i = 0; i < id % 16; ++i)
        in.Skip(in.Word() * 2u);
    std::wstring wide(in.Word(), L'\0');
    for (wchar_t& unit : wide)
        unit = static_cast<wchar_t>(in.Word());
    if (in.Failed() || wide.empty())
        return std::nullopt;
    return Reader::Narrow(wide);
}

std::optional<std::vector<MenuItem>> Module::Menu(int id) const
{
    HRSRC const found = module_ ? FindResourceA(module_, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(4)) : nullptr;
    void const* data = found ? LockResource(LoadResource(module_, found)) : nullptr;
    if (!data)
        return std::nullopt;
    Reader in(data, SizeofResource(module_, found));
    // A plain menu: version 0, then the size of the header's rest.
    if (in.Word() != 0)
        return std::nullopt;
    in.Skip(in.Word());
    std::vector<MenuItem> items = ReadMenuItems(in);
    if (in.Failed())
        return std::nullopt;
    return items;
}

}  // namespace resources
