#include "winauto.h"

#include "machine.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>

namespace winauto {
namespace {

// A hung program must fail the test, not hang it.
constexpr UINT kSendTimeoutMs = 2000;
// What a process ended by the harness exits with, recognisable in a failure message.
constexpr UINT kTerminatedExitCode = 0xDEAD;

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

bool IsClass(HWND window, const char* className)
{
    return lstrcmpiA(WindowClass(window).c_str(), className) == 0;
}

// GetWindowText reads the caption Wine keeps for another process's window without
// sending it a message, so a search never waits on a busy program.
std::string Caption(HWND window)
{
    char buffer[512] = "";
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

struct WindowSearch {
    const char* className;
    const char* title;
    DWORD processId;
    std::vector<HWND> found;
};

bool Matches(HWND window, const WindowSearch& s)
{
    return (!s.processId || WindowProcessId(window) == s.processId) &&
           (!s.className || IsClass(window, s.className)) &&
           (!s.title || Caption(window) == s.title);
}

BOOL CALLBACK CollectMatching(HWND window, LPARAM search)
{
    auto* s = reinterpret_cast<WindowSearch*>(search);
    if (Matches(window, *s))
        s->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

std::vector<HWND> ChildWindows(HWND parent)
{
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&children));
    return children;
}

bool IsShown(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

// A user can only click what is shown, enabled, and in a window that is enabled too
// (a modal box on top disables its owner).
bool IsClickable(HWND control)
{
    return IsWindow(control) && IsShown(control) && IsWindowEnabled(control) &&
           IsWindowEnabled(GetAncestor(control, GA_ROOT));
}

Control ReadControl(HWND window)
{
    Control c;
    c.hwnd = window;
    c.id = GetDlgCtrlID(window);
    c.className = WindowClass(window);
    c.text = WindowText(window);
    c.style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    c.enabled = IsWindowEnabled(window) != FALSE;
    c.visible = (c.style & WS_VISIBLE) != 0;
    if (IsClass(window, "Button"))
        c.check = static_cast<int>(SendWithTimeout(window, BM_GETCHECK, 0, 0));
    if (IsClass(window, PROGRESS_CLASSA)) {
        c.position = static_cast<int>(SendWithTimeout(window, PBM_GETPOS, 0, 0));
        c.rangeLow = static_cast<int>(SendWithTimeout(window, PBM_GETRANGE, TRUE, 0));
        c.rangeHigh = static_cast<int>(SendWithTimeout(window, PBM_GETRANGE, FALSE, 0));
    }
    return c;
}

// A message box's text static is 0xFFFF in a DLGTEMPLATE and -1 in a DLGTEMPLATEEX.
bool IsMessageBoxTextId(int id)
{
    return (id & 0xFFFF) == 0xFFFF;
}

bool IsIconStatic(const Control& c)
{
    return lstrcmpiA(c.className.c_str(), "Static") == 0 && c.visible &&
           (c.style & SS_TYPEMASK) == SS_ICON &&
           SendWithTimeout(c.hwnd, STM_GETICON, 0, 0) != 0;
}

WPARAM MouseKeysFor(UINT mouseMessage)
{
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return MK_LBUTTON;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        return MK_RBUTTON;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        return MK_MBUTTON;
    default:
        return 0;
    }
}

std::string Narrow(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string result(size - 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), size, nullptr, nullptr);
    return result;
}

// Without a tray of the X desktop, Wine 8's explorer shows the icons in a window of the X11
// driver's, Wine 10's in its own taskbar window.
HWND StandaloneTray()
{
    if (HWND tray = FindTopWindow("__winex11_standalone_tray", nullptr))
        return tray;
    return FindTopWindow("Shell_TrayWnd", nullptr);
}

bool IsTrayIconWindow(HWND window)
{
    return IsClass(window, "__winex11_tray_icon") || IsClass(window, "__wine_tray_icon");
}

// The process whose tooltips hold the icons' tips: explorer.
DWORD TrayProcessId()
{
    HWND tray = StandaloneTray();
    return tray ? WindowProcessId(tray) : 0;
}

// TTM_ENUMTOOLS is not marshalled between processes: the record and the text buffer it
// points to must live in the tooltip's own process, laid out as that process lays it out. A
// 32-bit test under a WoW64 Wine reads the tips of a 64-bit explorer.
template <typename Pointer>
struct ToolInfoRecord {
    UINT cbSize;
    UINT uFlags;
    Pointer hwnd;
    Pointer uId;
    RECT rect;
    Pointer hinst;
    Pointer lpszText;
    Pointer lParam;
    Pointer lpReserved;
};

bool IsWow64(HANDLE process)
{
    BOOL wow64 = FALSE;
    return IsWow64Process(process, &wow64) && wow64;
}

class RemoteToolInfo {
public:
    static constexpr size_t kTextChars = 1024;   // the tooltip copies up to INFOTIPSIZE

    explicit RemoteToolInfo(DWORD processId)
        : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                   PROCESS_QUERY_INFORMATION,
                               FALSE, processId))
    {
        if (!process_)
            return;
        remote64_ = sizeof(void*) == 8 || (IsWow64(GetCurrentProcess()) && !IsWow64(process_));
        memory_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, kSize,
                                                    MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteToolInfo()
    {
        if (memory_)
            VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    RemoteToolInfo(const RemoteToolInfo&) = delete;
    RemoteToolInfo& operator=(const RemoteToolInfo&) = delete;

    bool IsReady() const { return memory_ != nullptr; }

    std::optional<TrayTip> Read(HWND tooltip, int index)
    {
        return remote64_ ? Read<uint64_t>(tooltip, index) : Read<uint32_t>(tooltip, index);
    }

private:
    static constexpr size_t kRecordSize = sizeof(ToolInfoRecord<uint64_t>);
    static constexpr size_t kSize = kRecordSize + kTextChars * sizeof(wchar_t);

    char* RemoteText() const { return memory_ + kRecordSize; }

    template <typename Pointer>
    std::optional<TrayTip> Read(HWND tooltip, int index)
    {
        ToolInfoRecord<Pointer> info{};
        info.cbSize = sizeof info;
        info.lpszText = static_cast<Pointer>(reinterpret_cast<uintptr_t>(RemoteText()));
        const wchar_t empty = L'\0';
        if (!WriteProcessMemory(process_, memory_, &info, sizeof info, nullptr) ||
            !WriteProcessMemory(process_, RemoteText(), &empty, sizeof empty, nullptr))
            return std::nullopt;
        if (!SendWithTimeout(tooltip, TTM_ENUMTOOLSW, index, reinterpret_cast<LPARAM>(memory_)))
            return std::nullopt;
        if (!ReadProcessMemory(process_, memory_, &info, sizeof info, nullptr))
            return std::nullopt;
        std::vector<wchar_t> text(kTextChars + 1, L'\0');
        // A callback or resource tip leaves lpszText pointing elsewhere: no text to read.
        if (info.lpszText == reinterpret_cast<uintptr_t>(RemoteText()) &&
            !ReadProcessMemory(process_, RemoteText(), text.data(), kTextChars * sizeof(wchar_t),
                               nullptr))
            return std::nullopt;
        TrayTip tip;
        // Window handles are 32-bit values in both layouts.
        Pointer const owner = (info.uFlags & TTF_IDISHWND) ? info.uId : info.hwnd;
        tip.icon = reinterpret_cast<HWND>(static_cast<uintptr_t>(owner));
        tip.text = Narrow(text.data());
        return tip;
    }

    HANDLE process_;
    bool remote64_ = false;
    char* memory_ = nullptr;
};

// ---- PNG: stored (uncompressed) deflate blocks are enough for test evidence ----

uint32_t Crc32(const std::string& bytes)
{
    static const auto table = [] {
        std::vector<uint32_t> t(256);
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes)
        crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const std::string& bytes)
{
    uint32_t a = 1, b = 0;
    for (unsigned char byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void AppendBigEndian32(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void AppendLittleEndian16(std::string& out, uint32_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

std::string ZlibStored(const std::string& raw)
{
    constexpr size_t kMaxBlock = 65535;
    std::string out = "\x78\x01";
    size_t offset = 0;
    do {
        const size_t length = std::min(kMaxBlock, raw.size() - offset);
        const bool last = offset + length == raw.size();
        out += static_cast<char>(last ? 1 : 0);
        AppendLittleEndian16(out, static_cast<uint32_t>(length));
        AppendLittleEndian16(out, static_cast<uint32_t>(~length & 0xFFFF));
        out.append(raw, offset, length);
        offset += length;
    } while (offset < raw.size());
    AppendBigEndian32(out, Adler32(raw));
    return out;
}

void AppendChunk(std::string& png, const char* type, const std::string& data)
{
    AppendBigEndian32(png, static_cast<uint32_t>(data.size()));
    const std::string typed = type + data;
    png += typed;
    AppendBigEndian32(png, Crc32(typed));
}

// Every row starts with filter type 0 (none).
std::string PngScanlines(const Image& image)
{
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    std::string raw;
    raw.reserve((rowBytes + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char*>(image.rgb.data()) + y * rowBytes, rowBytes);
    }
    return raw;
}

Image CaptureScreenRect(const RECT& r)
{
    Image image;
    image.width = r.right - r.left;
    image.height = r.bottom - r.top;
    if (image.width <= 0 || image.height <= 0)
        return {};

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;   // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;

    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, dib);
    const bool copied = dib && BitBlt(memory, 0, 0, image.width, image.height, screen, r.left,
                                      r.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();

    if (copied) {
        const size_t stride = (static_cast<size_t>(image.width) * 3 + 3) & ~size_t{3};
        image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
        const auto* source = static_cast<const unsigned char*>(bits);
        for (int y = 0; y < image.height; ++y) {
            const unsigned char* bgr = source + y * stride;
            unsigned char* rgb = image.rgb.data() + static_cast<size_t>(y) * image.width * 3;
            for (int x = 0; x < image.width; ++x) {
                rgb[3 * x] = bgr[3 * x + 2];
                rgb[3 * x + 1] = bgr[3 * x + 1];
                rgb[3 * x + 2] = bgr[3 * x];
            }
        }
    }

    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    ReleaseDC(nullptr, screen);
    return copied ? image : Image{};
}

RECT VirtualScreen()
{
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace

// ---- Waiting ----

bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& condition)
{
    constexpr DWORD kPollMs = 20;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(kPollMs);
    }
}

// ---- Top-level windows ----

HWND FindTopWindow(const char* className, const char* title, DWORD processId)
{
    const std::vector<HWND> windows = FindTopWindows(className, title, processId);
    return windows.empty() ? nullptr : windows.front();
}

std::vector<HWND> FindTopWindows(const char* className, const char* title, DWORD processId)
{
    WindowSearch search{className, title, processId, {}};
    EnumWindows(CollectMatching, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs, DWORD processId)
{
    HWND found = nullptr;
    WaitUntil(timeoutMs,
              [&] { return (found = FindTopWindow(className, title, processId)) != nullptr; });
    return found;
}

HWND WaitForVisibleWindow(const char* className, const char* title, DWORD timeoutMs,
                          DWORD processId)
{
    HWND found = nullptr;
    WaitUntil(timeoutMs, [&] {
        for (HWND w : FindTopWindows(className, title, processId))
            if (IsWindowVisible(w))
                return (found = w) != nullptr;
        return false;
    });
    return found;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs)
{
    return WaitUntil(timeoutMs, [&] { return !IsWindow(window); });
}

bool WaitForWindowGone(const char* className, const char* title, DWORD timeoutMs,
                       DWORD processId)
{
    return WaitUntil(timeoutMs,
                     [&] { return FindTopWindow(className, title, processId) == nullptr; });
}

std::string WindowClass(HWND window)
{
    char buffer[256] = "";
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

std::string WindowText(HWND window)
{
    const auto length = static_cast<size_t>(SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(length + 1, '\0');
    const auto copied = static_cast<size_t>(
        SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(copied, length));
    return text;
}

DWORD WindowProcessId(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

// ---- Dialog controls ----

std::vector<Control> ReadControls(HWND dialog)
{
    std::vector<Control> controls;
    for (HWND child : ChildWindows(dialog))
        controls.push_back(ReadControl(child));
    return controls;
}

std::optional<Control> FindControl(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return std::nullopt;
    return ReadControl(control);
}

std::string ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control ? WindowText(control) : std::string{};
}

// ---- Input ----

bool Click(HWND control)
{
    // Wine's buttons act on BM_CLICK even when disabled; a user could not click them.
    if (!IsClickable(control))
        return false;
    // Posted, not sent: the click may open a modal loop that would block the test.
    return PostMessageA(control, BM_CLICK, 0, 0) != FALSE;
}

bool ClickControl(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control && Click(control);
}

bool PressEscape(HWND dialog)
{
    if (!IsWindow(dialog))
        return false;
    // The key goes to the focused control; the dialog manager's IsDialogMessage turns it
    // into WM_COMMAND IDCANCEL, or leaves it to a control that wants every key.
    HWND target = FocusedWindow(dialog);
    if (!target || (target != dialog && !IsChild(dialog, target)))
        target = dialog;
    return PostKey(target, VK_ESCAPE);
}

bool PressCloseBox(HWND window)
{
    if (!IsWindow(window) || !(GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU))
        return false;
    return PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
}

bool PostKey(HWND window, WORD virtualKey)
{
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    const LPARAM released = 0xC0000000;   // previous state down, transition up
    if (!PostMessageA(window, WM_KEYDOWN, virtualKey, scan | 1))
        return false;
    // The press may already have closed the window (Esc, Enter): the release may find it gone.
    PostMessageA(window, WM_KEYUP, virtualKey, scan | released | 1);
    return true;
}

HWND FocusedWindow(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

// ---- Message boxes ----

std::optional<MessageBoxInfo> ReadMessageBox(HWND box)
{
    if (!IsWindow(box) || !IsClass(box, "#32770"))
        return std::nullopt;
    MessageBoxInfo info;
    info.hwnd = box;
    info.caption = Caption(box);
    bool hasText = false;
    for (const Control& c : ReadControls(box)) {
        if (IsMessageBoxTextId(c.id) && lstrcmpiA(c.className.c_str(), "Static") == 0) {
            info.text = c.text;
            hasText = true;
        } else if (lstrcmpiA(c.className.c_str(), "Button") == 0 && c.visible) {
            info.buttons.push_back(c.id);
        } else if (IsIconStatic(c)) {
            info.hasIcon = true;
        }
    }
    if (!hasText)
        return std::nullopt;
    return info;
}

std::optional<MessageBoxInfo> WaitForMessageBox(const char* caption, DWORD timeoutMs,
                                               DWORD processId)
{
    std::optional<MessageBoxInfo> found;
    WaitUntil(timeoutMs, [&] {
        // Until WM_INITDIALOG is done a box has neither its text nor its final buttons.
        for (HWND box : FindTopWindows("#32770", caption, processId))
            if (IsWindowVisible(box) && (found = ReadMessageBox(box)))
                return true;
        return false;
    });
    return found;
}

// ---- Popup menus ----

HWND WaitForPopupMenu(DWORD timeoutMs, DWORD processId)
{
    HWND menu = nullptr;
    WaitUntil(timeoutMs, [&] {
        for (HWND w : FindTopWindows("#32768", nullptr, processId))
            if (IsWindowVisible(w))
                return (menu = w) != nullptr;
        return false;
    });
    return menu;
}

bool ChooseMenuItem(HWND menu, int index)
{
    if (!IsWindow(menu) || index < 0)
        return false;
    // A popup opens with nothing selected: the first Down selects item 0.
    for (int i = 0; i <= index; ++i)
        if (!PostKey(menu, VK_DOWN))
            return false;
    return PostKey(menu, VK_RETURN);
}

bool ChooseMenuMnemonic(HWND menu, char letter)
{
    if (!IsWindow(menu))
        return false;
    const SHORT key = VkKeyScanA(letter);
    return key != -1 && PostKey(menu, LOBYTE(key));
}

bool DismissMenu(HWND menu)
{
    return IsWindow(menu) && PostKey(menu, VK_ESCAPE);
}

// ---- Notification area ----

std::vector<HWND> TrayIconWindows()
{
    std::vector<HWND> icons;
    if (HWND tray = StandaloneTray())
        for (HWND child : ChildWindows(tray))
            if (IsTrayIconWindow(child))
                icons.push_back(child);
    return icons;
}

int TrayIconCount()
{
    return static_cast<int>(TrayIconWindows().size());
}

bool WaitForTrayIconCount(int count, DWORD timeoutMs)
{
    return WaitUntil(timeoutMs, [&] { return TrayIconCount() == count; });
}

HWND WaitForTrayIcon(const std::string& tip, DWORD timeoutMs)
{
    HWND icon = nullptr;
    WaitUntil(timeoutMs, [&] {
        for (const TrayTip& t : TrayTips())
            if (t.text == tip && IsWindow(t.icon))
                return (icon = t.icon) != nullptr;
        return false;
    });
    return icon;
}

bool PostTrayMouse(HWND icon, UINT mouseMessage)
{
    RECT r{};
    if (!GetClientRect(icon, &r))
        return false;
    const LPARAM centre = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
    return PostMessageA(icon, mouseMessage, MouseKeysFor(mouseMessage), centre) != FALSE;
}

bool RightClickTrayIcon(HWND icon)
{
    return PostTrayMouse(icon, WM_RBUTTONDOWN) && PostTrayMouse(icon, WM_RBUTTONUP);
}

bool DoubleClickTrayIcon(HWND icon)
{
    return PostTrayMouse(icon, WM_LBUTTONDOWN) && PostTrayMouse(icon, WM_LBUTTONUP) &&
           PostTrayMouse(icon, WM_LBUTTONDBLCLK) && PostTrayMouse(icon, WM_LBUTTONUP);
}

std::vector<TrayTip> TrayTips()
{
    std::vector<TrayTip> tips;
    const DWORD explorer = TrayProcessId();
    if (!explorer)
        return tips;
    RemoteToolInfo remote(explorer);
    if (!remote.IsReady())
        return tips;
    for (HWND tooltip : FindTopWindows(TOOLTIPS_CLASSA, nullptr, explorer)) {
        const auto count = static_cast<int>(SendWithTimeout(tooltip, TTM_GETTOOLCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            if (auto tip = remote.Read(tooltip, i))
                tips.push_back(*tip);
    }
    return tips;
}

std::string TrayIconTip(HWND icon)
{
    for (const TrayTip& tip : TrayTips())
        if (tip.icon == icon)
            return tip.text;
    return {};
}

// ---- Screenshots ----

Image CaptureScreen()
{
    return CaptureScreenRect(VirtualScreen());
}

namespace {

Image CaptureVisible(RECT const& r)
{
    RECT visible{};
    const RECT screen = VirtualScreen();
    if (!IntersectRect(&visible, &r, &screen))
        return {};
    return CaptureScreenRect(visible);
}

} // namespace

Image CaptureWindow(HWND window)
{
    RECT r{};
    return GetWindowRect(window, &r) ? CaptureVisible(r) : Image{};
}

Image CaptureClient(HWND window)
{
    RECT r{};
    if (!GetClientRect(window, &r))
        return {};
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return CaptureVisible(r);
}

bool WritePng(const std::string& path, const Image& image)
{
    if (image.width <= 0 || image.height <= 0 ||
        image.rgb.size() != static_cast<size_t>(image.width) * image.height * 3)
        return false;

    std::string header;
    AppendBigEndian32(header, static_cast<uint32_t>(image.width));
    AppendBigEndian32(header, static_cast<uint32_t>(image.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);   // 8 bits, RGB, deflate, filter 0, no interlace

    std::string png = "\x89PNG\r\n\x1a\n";
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", ZlibStored(PngScanlines(image)));
    AppendChunk(png, "IEND", "");

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(png.data(), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(file);
}

std::string ScreenshotPath(const std::string& fileName)
{
    char folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("TAMRIX_SCREENSHOTS", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return machine::TempPath(fileName);
    // A Unix path, set by the harness.
    return machine::WindowsPath(std::string(folder) + "/" + fileName);
}

bool SaveScreenPng(const std::string& path)
{
    return WritePng(path, CaptureScreen());
}

bool SaveWindowPng(HWND window, const std::string& path)
{
    return WritePng(path, CaptureWindow(window));
}

namespace {

// A window not painted yet shows one plain colour where its contents go.
bool IsDrawn(const Image& client)
{
    for (size_t i = 3; i < client.rgb.size(); ++i)
        if (client.rgb[i] != client.rgb[i % 3])
            return true;
    return false;
}

constexpr DWORD kScreenshotPaintMs = 2000;

} // namespace

bool WaitForPaint(HWND window, DWORD timeoutMs)
{
    bool drawn = false;
    WaitUntil(timeoutMs, [&] { return !IsWindow(window) || (drawn = IsDrawn(CaptureClient(window))); });
    return drawn && IsWindow(window);
}

Image SettledPicture(HWND window, DWORD timeoutMs)
{
    constexpr DWORD kBetweenPicturesMs = 100;
    WaitForPaint(window, timeoutMs);
    Image last = CaptureWindow(window);
    WaitUntil(timeoutMs, [&] {
        Sleep(kBetweenPicturesMs);
        Image now = CaptureWindow(window);
        bool const settled = now.rgb == last.rgb;
        last = std::move(now);
        return settled || !IsWindow(window);
    });
    return last;
}

bool SavePaintedWindowPng(HWND window, const std::string& path)
{
    if (!IsWindow(window)) {
        std::fprintf(stderr, "screenshot %s: no window\n", path.c_str());
        return false;
    }
    if (!WaitForPaint(window, kScreenshotPaintMs)) {
        std::fprintf(stderr, "screenshot %s: the window never showed painted on the screen\n", path.c_str());
        return false;
    }
    if (!SaveWindowPng(window, path)) {
        std::fprintf(stderr, "screenshot %s: the picture could not be written\n", path.c_str());
        return false;
    }
    return true;
}

void Screenshot(HWND window, const std::string& fileName)
{
    SavePaintedWindowPng(window, ScreenshotPath(fileName));
}

// ---- Processes ----

Process::Process(HANDLE process, DWORD id) : handle_(process), id_(id) {}

Process::Process(Process&& other) noexcept : handle_(other.handle_), id_(other.id_)
{
    other.handle_ = nullptr;
    other.id_ = 0;
}

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        Terminate();
        Release();
        handle_ = other.handle_;
        id_ = other.id_;
        other.handle_ = nullptr;
        other.id_ = 0;
    }
    return *this;
}

Process::~Process()
{
    Terminate();
    Release();
}

bool Process::IsRunning() const
{
    return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(DWORD timeoutMs) const
{
    DWORD code = 0;
    if (!handle_ || WaitForSingleObject(handle_, timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(handle_, &code))
        return std::nullopt;
    return code;
}

void Process::Terminate()
{
    if (!IsRunning())
        return;
    TerminateProcess(handle_, kTerminatedExitCode);
    WaitForSingleObject(handle_, 5000);
}

void Process::Release()
{
    if (handle_)
        CloseHandle(handle_);
    handle_ = nullptr;
    id_ = 0;
}

Process StartProcess(const std::string& commandLine, const std::string& workingDir)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string mutableLine = commandLine;   // CreateProcessA may write into it
    if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info))
        return {};
    CloseHandle(info.hThread);
    return Process(info.hProcess, info.dwProcessId);
}

// ---- The program under test ----

std::string CommandLine(const std::string& program, const std::string& arguments)
{
    std::string line = "\"" + program + "\"";
    if (!arguments.empty())
        line += " " + arguments;
    return line;
}

ProgramRun::ProgramRun(const std::string& commandLine, const std::string& workingDir)
    : process_(StartProcess(commandLine, workingDir))
{
}

ProgramRun::ProgramRun(winauto::Process process) : process_(std::move(process)) {}

HWND ProgramRun::WaitForWindow(const char* className, const char* title, DWORD timeoutMs) const
{
    HWND window = nullptr;
    WaitUntil(timeoutMs, [&] {
        window = FindTopWindow(className, title, Id());
        return window || !IsRunning();
    });
    return window;
}

HWND ProgramRun::WaitForVisibleWindow(const char* className, const char* title, DWORD timeoutMs) const
{
    HWND window = nullptr;
    WaitUntil(timeoutMs, [&] {
        for (HWND candidate : FindTopWindows(className, title, Id()))
            if (IsWindowVisible(candidate))
                return (window = candidate) != nullptr;
        return !IsRunning();
    });
    return window;
}

HWND ProgramRun::WaitForDialog(const char* title, DWORD timeoutMs) const
{
    return WaitForVisibleWindow("#32770", title, timeoutMs);
}

std::optional<MessageBoxInfo> ProgramRun::WaitForMessageBox(const char* caption, DWORD timeoutMs) const
{
    return winauto::WaitForMessageBox(caption, timeoutMs, Id());
}

std::optional<DWORD> ProgramRun::WaitForExit(DWORD timeoutMs) const
{
    return process_.WaitForExit(timeoutMs);
}

std::optional<DWORD> ProgramRun::EndSession(HWND window, DWORD timeoutMs) const
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, timeoutMs, &result);
    return WaitForExit(timeoutMs);
}

std::string BesideThisProgram(const std::string& fileName)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + fileName;
}

// ---- Windows version per program ----

namespace {

std::string AppDefaultsKey(const std::string& exeFileName)
{
    return "Software\\Wine\\AppDefaults\\" + exeFileName;
}

}  // namespace

bool SetWindowsVersion(const std::string& exeFileName, const std::string& version)
{
    return machine::SetString(HKEY_CURRENT_USER, AppDefaultsKey(exeFileName), "Version", version);
}

bool ClearWindowsVersion(const std::string& exeFileName)
{
    std::string const key = AppDefaultsKey(exeFileName);
    return !machine::KeyExists(HKEY_CURRENT_USER, key) ||
           machine::SetValue(HKEY_CURRENT_USER, key, "Version", machine::Value::Absent());
}

// ---- End-of-session requests ----

bool EndSessionSentinel::Start(const std::string& logPath, DWORD timeoutMs,
                               const std::string& sentinelExe)
{
    logPath_ = logPath;
    window_ = nullptr;
    DeleteFileA(logPath.c_str());
    const std::string exe =
        sentinelExe.empty() ? BesideThisProgram("endsession_sentinel.exe") : sentinelExe;
    process_ = StartProcess("\"" + exe + "\" \"" + logPath + "\"");
    if (!process_)
        return false;
    WaitUntil(timeoutMs, [&] {
        return (window_ = FindTopWindow(kSentinelWindowClass, nullptr, process_.Id())) != nullptr;
    });
    return window_ != nullptr;
}

std::string EndSessionSentinel::Log() const
{
    return machine::ReadFileBytes(logPath_).value_or("");
}

bool EndSessionSentinel::EndSessionRequested() const
{
    return Log().find("WM_QUERYENDSESSION") != std::string::npos;
}

bool EndSessionSentinel::WaitForEndSessionRequest(DWORD timeoutMs) const
{
    return WaitUntil(timeoutMs, [&] { return EndSessionRequested(); });
}

// ---- The restart's file operations ----

namespace {

std::string WithoutNtPrefix(const std::wstring& name)
{
    std::wstring const prefix = L"\\??\\";
    std::wstring const plain = name.compare(0, prefix.size(), prefix) == 0 ? name.substr(prefix.size()) : name;
    return std::string(plain.begin(), plain.end());
}

}  // namespace

HeldFile::HeldFile(const std::string& path)
    : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                          nullptr))
{
}

HeldFile::~HeldFile()
{
    Release();
}

void HeldFile::Release()
{
    if (IsHeld())
        CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

std::vector<RestartFileOperation> PendingFileOperations()
{
    std::vector<RestartFileOperation> operations;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return operations;
    DWORD size = 0;
    std::wstring data;
    if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) ==
        ERROR_SUCCESS) {
        data.resize(size / sizeof(wchar_t) + 1);
        if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&data[0]), &size) != ERROR_SUCCESS)
            data.clear();
        data.resize(size / sizeof(wchar_t));
    }
    RegCloseKey(key);
    // Pairs of names, each ended by a zero: the source, then the target, "!" before it when
    // the target is to be replaced, empty when the source is to be deleted.
    std::vector<std::wstring> names;
    for (std::size_t start = 0; start < data.size();) {
        std::size_t end = data.find(L'\0', start);
        if (end == std::wstring::npos)
            end = data.size();
        names.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    for (std::size_t i = 0; i + 1 < names.size() && !names[i].empty(); i += 2) {
        RestartFileOperation operation;
        operation.source = WithoutNtPrefix(names[i]);
        std::wstring target = names[i + 1];
        operation.replaceExisting = !target.empty() && target[0] == L'!';
        operation.target = WithoutNtPrefix(operation.replaceExisting ? target.substr(1) : target);
        operations.push_back(operation);
    }
    return operations;
}

std::vector<RestartFileOperation> WininitRenames()
{
    std::vector<RestartFileOperation> operations;
    std::ifstream file(machine::WindowsFolder() + "\\WININIT.INI", std::ios::binary);
    bool inRename = false;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inRename = lstrcmpiA(line.c_str(), "[rename]") == 0;
            continue;
        }
        std::size_t const equals = line.find('=');
        if (inRename && equals != std::string::npos)
            operations.push_back({line.substr(equals + 1), line.substr(0, equals), true});
    }
    return operations;
}

std::string Describe(const std::vector<RestartFileOperation>& operations)
{
    std::string text;
    for (const RestartFileOperation& operation : operations) {
        if (operation.target.empty())
            text += "delete " + operation.source + "\n";
        else
            text += operation.source + (operation.replaceExisting ? " replaces " : " moves to ") +
                    operation.target + "\n";
    }
    return text;
}

bool RunRestartFileOperations(DWORD timeoutMs)
{
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    // -r: what a restart does before the log-on, without starting the services again.
    Process wineboot = StartProcess("\"" + std::string(system) + "\\wineboot.exe\" -r");
    if (!wineboot)
        return false;
    std::optional<DWORD> const exitCode = wineboot.WaitForExit(timeoutMs);
    return exitCode && *exitCode == 0;
}

bool SystemFolderIsRedirected()
{
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace winauto
