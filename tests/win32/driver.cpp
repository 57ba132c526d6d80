// SPDX-License-Identifier: MIT
// Drives cttax.exe as a person would, for the end-to-end session under Wine:
// reads commands, one per line, from the file given (or standard input),
// and writes what it sees to standard output, one line per answer.
//
//   wait-window TITLE     wait up to 20 s for a top-level window; print "frame L T R B"
//   texts                 print "ID=TEXT" for the main window's eight boxes
//   click ID              a real mouse click in the middle of control ID
//   type TEXT             real key presses: the Unicode characters of TEXT (a
//                         warning after one: "warned after C", closed with Enter)
//   keys KEY...           real key presses: enter, esc, tab, home, end, back, del,
//                         shift+end, alt+f, alt+h, alt+k, e, down, up
//   checked               print the index of the checked status item (-1 none)
//   focus                 print the ID of the control with the keyboard focus
//   box TITLE             wait for a message box: print "box TITLE | TEXT",
//                         then press Enter on it
//   see TITLE             wait for a message box: print "box TITLE | TEXT" and
//                         "centre X Y of X Y" (the box's, the monitor's), leave it open
//   help-text             print the help window's text, lines joined with "|"
//   client                print "client W H" of the main window
//   move L T              move the main window's frame
//   close                 ask the main window to close; wait until it is gone
//   activate              bring the main window to the front
//   layout                print "ID L T R B" for every visible control of the
//                         main window, in its client area's coordinates
//   ink ID                what the control shows inside its border: "ink ID DIFF
//                         RIGHT", the largest channel difference from its
//                         background (its commonest colour) and the client
//                         x just past the rightmost pixel that far from it
//   snap ID / changed ID  keep what control ID shows; later print "changed ID N",
//                         the number of its pixels now different (by 64 at least)
//   help-frame            print the help window's "frame L T R B", "work L T R B"
//                         (its monitor's work area), "sizable 0|1" and
//                         "scrolls 0|1" (its text box has a scroll bar)
#include "settings/windows/utf16.h"

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using cttax::narrow;
using cttax::wide;

std::wstring textOf(HWND window)
{
    // WM_GETTEXT reaches into another process's edit box; GetWindowText does not.
    const LRESULT length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

HWND waitFor(const wchar_t *type, const std::wstring &title, DWORD ms)
{
    for (DWORD waited = 0;; waited += 50) {
        HWND window = ::FindWindowW(type, title.empty() ? nullptr : title.c_str());
        if (window != nullptr && ::IsWindowVisible(window))
            return window;
        if (waited >= ms)
            return nullptr;
        ::Sleep(50);
    }
}

HWND mainWindow()
{
    return ::FindWindowW(L"TOstrelF", nullptr);
}

// IAccessible's identifier, written here: mingw-w64's import library gives
// a statically linked program the import thunk's bytes for IID_IAccessible.
const GUID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// Control ID of the main window, or of the help window where it has none.
HWND control(int id)
{
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    for (HWND window : {mainWindow(), ::FindWindowW(L"TOstrelFhelp", nullptr)}) {
        ::EnumChildWindows(
            window,
            [](HWND child, LPARAM data) -> BOOL {
                auto *s = reinterpret_cast<Search *>(data);
                if (::GetDlgCtrlID(child) == s->id) {
                    s->found = child;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            break;
    }
    return search.found;
}

void send(std::vector<INPUT> inputs)
{
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    ::Sleep(150); // let the window take them
}

INPUT key(WORD vk, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

void press(const std::string &name)
{
    static const std::pair<const char *, WORD> keys[] = {
        {"enter", VK_RETURN}, {"esc", VK_ESCAPE}, {"tab", VK_TAB}, {"home", VK_HOME}, {"end", VK_END},
        {"back", VK_BACK}, {"del", VK_DELETE}, {"down", VK_DOWN}, {"up", VK_UP}, {"space", VK_SPACE},
        {"left", VK_LEFT}, {"right", VK_RIGHT},
    };
    std::vector<WORD> held;
    std::string rest = name;
    for (std::size_t plus; (plus = rest.find('+')) != std::string::npos; rest = rest.substr(plus + 1)) {
        const std::string modifier = rest.substr(0, plus);
        held.push_back(modifier == "shift" ? VK_SHIFT : modifier == "alt" ? VK_MENU : VK_CONTROL);
    }
    WORD vk = 0;
    for (const auto &[text, code] : keys)
        if (rest == text)
            vk = code;
    if (vk == 0 && rest.size() == 1)
        vk = static_cast<WORD>(::toupper(static_cast<unsigned char>(rest[0])));
    std::vector<INPUT> inputs;
    for (WORD m : held)
        inputs.push_back(key(m, false));
    inputs.push_back(key(vk, false));
    inputs.push_back(key(vk, true));
    for (auto m = held.rbegin(); m != held.rend(); ++m)
        inputs.push_back(key(*m, true));
    send(inputs);
}

void press(const std::string &name);

HWND focused()
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(mainWindow(), nullptr), &info);
    return info.hwndFocus;
}

// Each character a key press, and the next only once the box shows it or
// the input warning has come up: then "warned after C" is printed and the
// box closed with Enter, as a person would.
void typeText(const std::wstring &text)
{
    for (wchar_t c : text) {
        const HWND box = focused();
        const std::wstring before = box != nullptr ? textOf(box) : std::wstring();
        INPUT down{}, up{};
        down.type = up.type = INPUT_KEYBOARD;
        down.ki.wScan = up.ki.wScan = c;
        down.ki.dwFlags = KEYEVENTF_UNICODE;
        up.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        ::SendInput(1, &down, sizeof down);
        ::SendInput(1, &up, sizeof up);
        HWND warning = nullptr;
        for (int i = 0; i < 100; ++i) { // up to 5 s
            ::Sleep(50);
            if ((warning = ::FindWindowW(L"#32770", L"Warning")) != nullptr && ::IsWindowVisible(warning))
                break;
            warning = nullptr;
            if (box != nullptr && textOf(box) != before && i >= 1)
                break;
        }
        if (warning != nullptr) {
            std::printf("warned after %s\n", narrow(std::wstring(1, c)).c_str());
            ::SetForegroundWindow(warning);
            ::Sleep(100);
            press("enter");
            for (int i = 0; i < 100 && ::IsWindow(warning); ++i)
                ::Sleep(50);
            ::Sleep(100);
        }
    }
}

// A real click in the middle of the control: the pointer moved there first,
// then pressed and let go; again (up to three times) until the control has
// the focus, since a click that only brings the window to the front, or
// that comes before the pointer has arrived, is no click on the control.
void click(HWND target)
{
    RECT r{};
    ::GetWindowRect(target, &r);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT move{}, down{}, up{};
    move.type = down.type = up.type = INPUT_MOUSE;
    move.mi.dx = MulDiv(x - ::GetSystemMetrics(SM_XVIRTUALSCREEN), 65535, width - 1);
    move.mi.dy = MulDiv(y - ::GetSystemMetrics(SM_YVIRTUALSCREEN), 65535, height - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    for (int attempt = 0; attempt < 3; ++attempt) {
        send({move});
        send({down, up});
        for (int i = 0; i < 20 && focused() != target; ++i)
            ::Sleep(50);
        if (focused() == target)
            return;
    }
}

std::string boxText(HWND box)
{
    std::string text;
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t type[32] = {};
        ::GetClassNameW(child, type, 32);
        if (lstrcmpiW(type, L"Static") != 0)
            continue;
        if (!textOf(child).empty() && (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
            text = narrow(textOf(child));
        }
    }
    for (char &c : text)
        if (c == '\n' || c == '\r')
            c = '|';
    return text;
}

// What a control shows on the screen inside its border, pixel by pixel
// (0x00RRGGBB, rows from the top).
struct Picture {
    RECT place{};
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

Picture capture(HWND control)
{
    Picture picture;
    ::GetClientRect(control, &picture.place);
    ::MapWindowPoints(control, nullptr, reinterpret_cast<POINT *>(&picture.place), 2);
    const int width = picture.width = picture.place.right - picture.place.left;
    const int height = picture.height = picture.place.bottom - picture.place.top;
    const HDC screen = ::GetDC(nullptr), dc = ::CreateCompatibleDC(screen);
    const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::BitBlt(dc, 0, 0, width, height, screen, picture.place.left, picture.place.top, SRCCOPY);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    picture.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), picture.pixels.data(), &info, DIB_RGB_COLORS);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    for (std::uint32_t &p : picture.pixels)
        p &= 0xffffff;
    return picture;
}

// The largest difference of one channel between two colours.
int distance(std::uint32_t a, std::uint32_t b)
{
    int most = 0;
    for (int shift : {0, 8, 16})
        most = std::max(most, std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff)));
    return most;
}

// How far a control's furthest pixel is from its background (its commonest
// colour), and where the rightmost pixel that stands out (by 96 at least) is.
void ink(HWND control, int id)
{
    const Picture picture = capture(control);
    std::vector<std::pair<std::uint32_t, int>> counts;
    for (std::uint32_t p : picture.pixels) {
        auto at = std::find_if(counts.begin(), counts.end(), [p](const auto &c) { return c.first == p; });
        if (at == counts.end())
            counts.push_back({p, 1});
        else
            ++at->second;
    }
    if (counts.empty()) {
        std::printf("ink %d 0 0\n", id);
        return;
    }
    const std::uint32_t back =
        std::max_element(counts.begin(), counts.end(), [](const auto &a, const auto &b) { return a.second < b.second; })->first;
    int most = 0, right = -1;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const int diff = distance(picture.pixels[static_cast<std::size_t>(y * picture.width + x)], back);
            most = std::max(most, diff);
            if (diff >= 96)
                right = std::max(right, x);
        }
    POINT edge{picture.place.left + right + 1, picture.place.top};
    ::ScreenToClient(mainWindow(), &edge);
    std::printf("ink %d %d %ld\n", id, most, edge.x);
}

Picture snapped;

void run(const std::string &line)
{
    std::istringstream words(line);
    std::string command;
    words >> command;
    std::string rest;
    std::getline(words, rest);
    if (!rest.empty() && rest[0] == ' ')
        rest.erase(0, 1);
    if (command == "wait-window") {
        const HWND window = waitFor(nullptr, wide(rest), 20000);
        RECT r{};
        if (window != nullptr)
            ::GetWindowRect(window, &r);
        std::printf(window ? "frame %ld %ld %ld %ld\n" : "no window\n", r.left, r.top, r.right, r.bottom);
    } else if (command == "texts") {
        for (int id = 101; id <= 108; ++id)
            std::printf("%d=%s\n", id, narrow(textOf(control(id))).c_str());
    } else if (command == "click") {
        click(control(std::stoi(rest)));
    } else if (command == "type") {
        typeText(wide(rest));
    } else if (command == "keys") {
        std::istringstream names(rest);
        for (std::string name; names >> name;)
            press(name);
    } else if (command == "checked") {
        int checked = -1;
        for (int i = 0; i < 4; ++i)
            if (::SendMessageW(control(111 + i), BM_GETCHECK, 0, 0) == BST_CHECKED)
                checked = i;
        std::printf("checked %d\n", checked);
    } else if (command == "focus") {
        const HWND focus = focused();
        std::printf("focus %d\n", focus ? ::GetDlgCtrlID(focus) : 0);
    } else if (command == "box" || command == "see") {
        const HWND box = waitFor(L"#32770", wide(rest), 10000);
        if (box == nullptr) {
            std::printf("no box %s\n", rest.c_str());
            return;
        }
        std::printf("box %s | %s\n", rest.c_str(), boxText(box).c_str());
        if (command == "see") {
            RECT r{};
            ::GetWindowRect(box, &r);
            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            ::GetMonitorInfoW(::MonitorFromWindow(box, MONITOR_DEFAULTTOPRIMARY), &monitor);
            std::printf("centre %ld %ld of %ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2,
                        (monitor.rcWork.left + monitor.rcWork.right) / 2, (monitor.rcWork.top + monitor.rcWork.bottom) / 2);
            return;
        }
        ::SetForegroundWindow(box);
        ::Sleep(100);
        press("enter");
        for (int i = 0; i < 50 && ::IsWindow(box); ++i)
            ::Sleep(50);
    } else if (command == "help-text") {
        const HWND help = waitFor(L"TOstrelFhelp", L"", 5000);
        std::string text = help ? narrow(textOf(::GetWindow(help, GW_CHILD))) : "no help window";
        std::string joined;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] != '\r')
                joined += text[i] == '\n' ? '|' : text[i];
        std::printf("help %s\n", joined.c_str());
    } else if (command == "client") {
        RECT r{};
        ::GetClientRect(mainWindow(), &r);
        std::printf("client %ld %ld\n", r.right, r.bottom);
    } else if (command == "move") {
        int left = 0, top = 0;
        std::istringstream(rest) >> left >> top;
        ::SetWindowPos(mainWindow(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    } else if (command == "close") {
        const HWND window = mainWindow();
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        for (int i = 0; i < 200 && ::IsWindow(window); ++i)
            ::Sleep(50);
        std::printf(::IsWindow(window) ? "still open\n" : "closed\n");
    } else if (command == "clipboard") { // COUNT CHAR LAST: COUNT times CHAR, then LAST
        std::size_t count = 0;
        char fill = '0', last = '5';
        std::istringstream(rest) >> count >> fill >> last;
        std::wstring text(count, static_cast<wchar_t>(fill));
        text += static_cast<wchar_t>(last);
        const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        std::memcpy(::GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        ::GlobalUnlock(memory);
        ::OpenClipboard(nullptr);
        ::EmptyClipboard();
        ::SetClipboardData(CF_UNICODETEXT, memory);
        ::CloseClipboard();
        ::OpenClipboard(nullptr);
        const HANDLE held = ::GetClipboardData(CF_UNICODETEXT);
        std::printf("clipboard %zu\n", held ? std::wcslen(static_cast<const wchar_t *>(::GlobalLock(held))) : 0);
        if (held)
            ::GlobalUnlock(held);
        ::CloseClipboard();
    } else if (command == "length") { // ID [WANTED]: the box's length and its last character
        // A long paste takes a while to be laid out: waited for, up to a minute.
        int id = 0;
        long wanted = -1;
        std::istringstream(rest) >> id >> wanted;
        const HWND box = control(id);
        for (int i = 0; i < 240 && wanted >= 0 && ::GetWindowTextLengthW(box) != wanted; ++i)
            ::Sleep(250);
        const std::wstring text = textOf(box);
        std::printf("length %zu last %s\n", text.size(), text.empty() ? "-" : narrow(text.substr(text.size() - 1)).c_str());
    } else if (command == "names") { // what a screen reader hears for each box (MSAA)
        ::CoInitialize(nullptr);
        for (int id = 101; id <= 108; ++id) {
            IAccessible *object = nullptr;
            std::string name = "-";
            HRESULT found = ::AccessibleObjectFromWindow(control(id), static_cast<DWORD>(OBJID_CLIENT),
                                                         kIAccessible, reinterpret_cast<void **>(&object));
            if (found != S_OK) // the proxy the system makes for a standard control, asked directly
                found = ::CreateStdAccessibleObject(control(id), OBJID_CLIENT, kIAccessible,
                                                    reinterpret_cast<void **>(&object));
            if (found != S_OK)
                name = "! " + std::to_string(static_cast<long>(found)) + " " +
                       std::to_string(reinterpret_cast<std::uintptr_t>(control(id)));
            if (found == S_OK) {
                VARIANT self{};
                self.vt = VT_I4;
                self.lVal = CHILDID_SELF;
                BSTR text = nullptr;
                if (object->get_accName(self, &text) == S_OK && text != nullptr)
                    name = narrow(text);
                ::SysFreeString(text);
                object->Release();
            }
            std::printf("%d name %s\n", id, name.c_str());
        }
    } else if (command == "layout") {
        const HWND window = mainWindow();
        ::EnumChildWindows(
            window,
            [](HWND child, LPARAM data) -> BOOL {
                if (::IsWindowVisible(child)) {
                    RECT r{};
                    ::GetWindowRect(child, &r);
                    ::MapWindowPoints(nullptr, reinterpret_cast<HWND>(data), reinterpret_cast<POINT *>(&r), 2);
                    std::printf("%d %ld %ld %ld %ld\n", ::GetDlgCtrlID(child), r.left, r.top, r.right, r.bottom);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(window));
    } else if (command == "ink") {
        ink(control(std::stoi(rest)), std::stoi(rest));
    } else if (command == "snap") {
        snapped = capture(control(std::stoi(rest)));
    } else if (command == "changed") { // pixels that changed since the snap, by 64 at least
        const Picture now = capture(control(std::stoi(rest)));
        int changed = 0;
        for (std::size_t i = 0; i < now.pixels.size() && i < snapped.pixels.size(); ++i)
            changed += distance(now.pixels[i], snapped.pixels[i]) >= 64;
        std::printf("changed %s %d\n", rest.c_str(), changed);
    } else if (command == "help-frame") {
        const HWND help = waitFor(L"TOstrelFhelp", L"", 5000);
        RECT r{};
        ::GetWindowRect(help, &r);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoW(::MonitorFromWindow(help, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT &w = monitor.rcWork;
        const LONG style = ::GetWindowLongW(help, GWL_STYLE);
        const LONG boxStyle = ::GetWindowLongW(::GetWindow(help, GW_CHILD), GWL_STYLE);
        std::printf("frame %ld %ld %ld %ld\nwork %ld %ld %ld %ld\nsizable %d\nscrolls %d\n", r.left, r.top, r.right,
                    r.bottom, w.left, w.top, w.right, w.bottom, (style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) != 0,
                    (boxStyle & WS_VSCROLL) != 0);
    } else if (command == "activate") {
        ::SetForegroundWindow(mainWindow());
        ::Sleep(150);
    } else if (!command.empty() && command[0] != '#') {
        std::printf("unknown command %s\n", command.c_str());
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    std::ifstream file;
    if (argc > 1)
        file.open(argv[1]);
    std::istream &in = argc > 1 ? static_cast<std::istream &>(file) : std::cin;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        run(line);
    }
    return 0;
}
