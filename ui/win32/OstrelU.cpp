// SPDX-License-Identifier: MIT
#include "ui/win32/OstrelU.h"

#include "text/decimal.h"
#include "text/present.h"
#include "ui/win32/OstrelhelpU.h"
#include "ui/win32/controls.h"
#include "ui/win32/desktop.h"

#include <algorithm>

#include <commctrl.h>

namespace cttax::win32 {

namespace {

constexpr const wchar_t *kClassName = L"TOstrelF";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;


constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kInput = ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP;
constexpr DWORD kResult = kInput | ES_READONLY;
// The Win32 controls of the form's layout, in its order (the tab order).
// Two kinds are this front end's own: the group box drawn inside the status
// group's container, and a hidden label before each result box with the
// caption's plain form (MSAA names a box by the label made right before it).
std::vector<Placement> makeLayout()
{
    std::vector<Placement> placements;
    int item = 0;
    for (const layout::Control &c : layout::kControls) {
        const std::string_view name = c.name;
        const Parent parent = c.parent == layout::Parent::Group ? Parent::Group
                              : c.parent == layout::Parent::Panel ? Parent::Panel
                                                                  : Parent::Window;
        const Face face = c.face == &layout::kTitleFace ? Face::Title : Face::Caption;
        Placement p{0, parent, L"STATIC", kLabel, 0, c.left, c.top, c.width, c.height, face, c.look, c.caption ? c.caption : ""};
        switch (c.role) {
        case layout::Role::Group:
            p.id = kRadioStatus, p.type = kContainerClass, p.style = WS_TABSTOP | WS_GROUP, p.exStyle = WS_EX_CONTROLPARENT;
            p.text.clear();
            placements.push_back(p);
            placements.push_back({kGroupFrame, Parent::Group, L"BUTTON", BS_GROUPBOX, 0, 0, 0, c.width, c.height, face,
                                  c.look, c.caption});
            continue;
        case layout::Role::Item:
            p.id = kRadioFirst + item, p.type = L"BUTTON";
            p.style = BS_RADIOBUTTON | (item == 0 ? WS_TABSTOP | WS_GROUP : 0);
            ++item;
            break;
        case layout::Role::Panel:
            p.id = kPanel1, p.type = kContainerClass, p.style = WS_GROUP, p.exStyle = WS_EX_CONTROLPARENT;
            break;
        case layout::Role::Label:
            p.id = kLabel1 - 1 + std::stoi(std::string(name.substr(5)));
            p.width = 0; // as wide as its caption at the window's DPI
            placements.push_back(p);
            if (c.parent == layout::Parent::Panel) {
                p.id += kName3 - kLabel6;
                p.text = accessibleNameOf(c.caption);
                p.hidden = true;
                placements.push_back(p);
            }
            continue;
        case layout::Role::Input:
        case layout::Role::Result:
            p.id = kEdit1 - 1 + std::stoi(std::string(name.substr(4)));
            p.type = L"EDIT", p.style = c.role == layout::Role::Input ? kInput : kResult, p.exStyle = WS_EX_CLIENTEDGE;
            p.text = kPlaceholder;
            break;
        }
        placements.push_back(p);
    }
    return placements;
}

const std::vector<Placement> kLayout = makeLayout();

} // namespace

// The decimal symbol of the user's locale.
void TOstrelF::useLocaleDecimalSymbol()
{
    wchar_t symbol[8] = {};
    const int n = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, symbol, 8);
    const std::string point = n > 1 ? narrow(std::wstring(symbol, static_cast<std::size_t>(n - 1))) : std::string();
    setDecimalSymbol(point);
}

TOstrelF::TOstrelF(HINSTANCE instance, FormDesktop &desktop, std::wstring title, SettingsLocation settings,
                   TOstrelFhelp &help)
    : MainForm(*this, *this, desktop, narrow(title), std::move(settings)), help_(help)
{
    useLocaleDecimalSymbol();
    registerContainerClass(instance);
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = windowProc;
    type.hInstance = instance;
    type.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    type.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0));
    type.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = ::GetSysColorBrush(COLOR_APPWORKSPACE);
    type.lpszClassName = kClassName;
    ::RegisterClassExW(&type);

    MainMenu = ::CreateMenu();
    File1 = ::CreatePopupMenu();
    ::AppendMenuW(File1, MF_STRING, kExit1, wide(layout::kExitCommand).c_str());
    ::AppendMenuW(MainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(File1), wide(layout::kFileMenu).c_str());
    ::AppendMenuW(MainMenu, MF_STRING, kHelp1, wide(layout::kHelpCommand).c_str());
    ::AppendMenuW(MainMenu, MF_STRING, kKaldoHomePage1, wide(layout::kHomePageCommand).c_str());

    // Created hidden at the design position; the system window exists at once.
    window_ = ::CreateWindowExW(kExStyle, kClassName, wide(layout::kWindowTitle).c_str(), kStyle, kDesignPosition.x, kDesignPosition.y,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, MainMenu, instance, this);
    createControls();
    FormCreate();
}

TOstrelF::~TOstrelF()
{
    if (window_ != nullptr)
        ::DestroyWindow(window_);
    ::DeleteObject(captionFont_);
    ::DeleteObject(titleFont_);
}

void TOstrelF::createControls()
{
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    static const ContainerLook group{colourOf(layout::control("RadioStatus").look->background), false};
    static const ContainerLook panel{colourOf(layout::control("Panel1").look->background), true};
    makeFonts();
    // Each control is made in its place and then given its face: one layout
    // of its text (an edit box lays its text out again at every change).
    for (const Placement &p : kLayout) {
        const HWND parent = p.parent == Parent::Window ? window_ : p.parent == Parent::Group ? RadioStatus : Panel1;
        const void *look = p.id == kRadioStatus ? &group : p.id == kPanel1 ? &panel : nullptr;
        const std::wstring text = wide(p.text);
        const RECT place = placeOf(p, text);
        const DWORD visible = p.hidden ? 0 : WS_VISIBLE;
        const HWND control = ::CreateWindowExW(p.exStyle, p.type, text.c_str(), p.style | WS_CHILD | visible, place.left,
                                               place.top, place.right, place.bottom, parent,
                                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(p.id)), instance,
                                               const_cast<void *>(look));
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(p)), FALSE);
        controls_.push_back(control);
        if (HWND *named = slotOf(p.id))
            *named = control;
        if (p.id == kEdit1 || p.id == kEdit2)
            ::SendMessageW(control, EM_SETLIMITTEXT, 0, 0); // no limit (else 30,000 characters, cut silently)
        if (p.id >= kRadioFirst && p.id < kRadioFirst + 4)
            ::SetWindowSubclass(control, radioProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    fitFrame();
}

// The member that holds control `id`, where it has one.
HWND *TOstrelF::slotOf(int id)
{
    HWND *const edits[] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &Edit8};
    HWND *const labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6, &Label7, &Label8, &Label9, &Label10, &Label11};
    if (id >= kEdit1 && id <= kEdit8)
        return edits[id - kEdit1];
    if (id >= kLabel1 && id <= kLabel11)
        return labels[id - kLabel1];
    if (id >= kRadioFirst && id < kRadioFirst + 4)
        return &radios_[static_cast<std::size_t>(id - kRadioFirst)];
    return id == kRadioStatus ? &RadioStatus : id == kPanel1 ? &Panel1 : nullptr;
}

void TOstrelF::makeFonts()
{
    dpi_ = dpiOf(window_);
    ::DeleteObject(captionFont_);
    ::DeleteObject(titleFont_);
    // Text grows faster than the places at higher DPIs (the glyphs are
    // hinted to whole pixels): the face is made a pixel smaller until every
    // result caption ends before its box, "$" included.
    for (int fewer = 0;; ++fewer) {
        ::DeleteObject(captionFont_);
        captionFont_ = makeFont(layout::kCaptionFace, dpi_, fewer);
        int widest = 0;
        for (const PresentedResult &result : kPresentedResults)
            widest = std::max(widest, textWidth(captionFont_, wide(result.caption)));
        if (widest <= scaled(layout::control("Edit3").left - layout::control("Label6").left - 2, dpi_) || fewer == scaled(16, dpi_) / 4)
            break;
    }
    titleFont_ = makeFont(layout::kTitleFace, dpi_);
}

// A control's place at the window's DPI (left, top, width, height); a label
// is as wide as its caption.
RECT TOstrelF::placeOf(const Placement &p, const std::wstring &text) const
{
    int width = scaled(p.width, dpi_);
    if (p.width == 0)
        width = textWidth(fontOf(p), text);
    return {scaled(p.left, dpi_), scaled(p.top, dpi_), width, scaled(p.height, dpi_)};
}

// The outer size for the client area at the window's DPI.
void TOstrelF::fitFrame()
{
    const SIZE outer = outerSizeFor(kClientSize.width, kClientSize.height, kStyle, kExStyle, true, dpi_);
    ::SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Places every control again for a monitor of another DPI.
void TOstrelF::layOut()
{
    makeFonts();
    for (std::size_t i = 0; i < std::size(kLayout); ++i) {
        const Placement &p = kLayout[i];
        const HWND control = controls_[i];
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(p)), FALSE);
        const RECT place = placeOf(p, textOf(control));
        ::SetWindowPos(control, nullptr, place.left, place.top, place.right, place.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    fitFrame();
    ::InvalidateRect(window_, nullptr, TRUE);
}

void TOstrelF::show(int showCommand)
{
    const bool minimised =
        showCommand == SW_SHOWMINIMIZED || showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINNOACTIVE;
    showing_ = true;
    if (!minimised)
        loadOnce(); // before the window is first drawn
    ::ShowWindow(window_, showCommand);
    ::UpdateWindow(window_);
    if (!minimised)
        focusFirst();
}

// ---------------------------------------------------------------- messages

LRESULT CALLBACK TOstrelF::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self = static_cast<TOstrelF *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<TOstrelF *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (...) {
        return 0; // the handlers report their own errors; nothing leaves here
    }
}

LRESULT TOstrelF::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(colours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
    case WM_GETMINMAXINFO: { // the outer size is fixed, maximised too
        auto *limits = reinterpret_cast<MINMAXINFO *>(lParam);
        const SIZE outer = outerSizeFor(kClientSize.width, kClientSize.height, kStyle, kExStyle, true, dpi_);
        limits->ptMinTrackSize = limits->ptMaxTrackSize = limits->ptMaxSize = {outer.cx, outer.cy};
        return 0;
    }
    case WM_DPICHANGED: {
        const RECT *suggested = reinterpret_cast<const RECT *>(lParam);
        ::SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        layOut();
        return 0;
    }
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED && showing_ && !loaded()) { // a window started minimised, now restored
            loadOnce();
            focusFirst();
        }
        return 0;
    case WM_ACTIVATE:
        // The focus comes back to the control that had it, after a message
        // box as after another program; a plain window would take it itself.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focus = ::GetFocus(); focus != nullptr && ::IsChild(window_, focus))
                lastFocus_ = focus;
        } else if (lastFocus_ != nullptr && ::IsWindow(lastFocus_)) {
            focusing_ = true;
            ::SetFocus(lastFocus_);
            focusing_ = false;
        }
        return 0;
    case WM_SETTINGCHANGE:
        if (lParam != 0 && std::wstring(reinterpret_cast<const wchar_t *>(lParam)) == L"intl")
            useLocaleDecimalSymbol();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE; // nothing to ask: the settings are saved at the end
    case WM_ENDSESSION:
        // The session ends (log-off, shutdown): saved as a close saves, a
        // failure on standard error, and the window goes.
        if (wParam != FALSE && window_ != nullptr) {
            closing(true);
            ::DestroyWindow(window_);
        }
        return 0;
    case WM_CLOSE:
        closing(false);
        ::DestroyWindow(window_); // always
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window_, message, wParam, lParam);
    }
}

void TOstrelF::command(int id, int code)
{
    if (id == kEdit1 && code == EN_CHANGE)
        guarded([this] { Edit1Change(); });
    else if (id == kEdit2 && code == EN_CHANGE)
        guarded([this] { Edit2Change(); });
    else if (id >= kRadioFirst && id < kRadioFirst + 4 && code == BN_CLICKED && !focusing_)
        setStatusIndex(id - kRadioFirst); // the selected item again changes nothing
    else if (id == kExit1 && code == 0)
        guarded([this] { Exit1Click(); });
    else if (id == kHelp1 && code == 0)
        guarded([this] { Help1Click(); });
    else if (id == kKaldoHomePage1 && code == 0)
        guarded([this] { KaldoHomePage1Click(); });
}

HBRUSH TOstrelF::colours(HWND control, HDC dc)
{
    const Look *look = &layout::kPlainLook;
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i] == control)
            look = kLayout[i].look;
    const COLORREF background = colourOf(look->background);
    ::SetTextColor(dc, colourOf(look->text));
    ::SetBkColor(dc, background);
    return brushOf(background);
}

// ---------------------------------------------------------------- the view

std::string TOstrelF::inputText(Input input) const
{
    return narrow(textOf(input == Input::Agi ? Edit1 : Edit2));
}

void TOstrelF::writeInput(Input input, const std::string &text)
{
    // EN_CHANGE comes for every write, the same text too: compare first.
    const HWND box = input == Input::Agi ? Edit1 : Edit2;
    const std::wstring wanted = wide(text);
    if (textOf(box) != wanted)
        ::SetWindowTextW(box, wanted.c_str()); // runs the change handler before it returns
}

void TOstrelF::writeResult(std::size_t row, const std::string &text)
{
    // A box's text is costly to set (its layout is redone); an unchanged
    // result is left as it is.
    const HWND boxes[] = {Edit3, Edit4, Edit5, Edit6, Edit7, Edit8};
    const std::wstring wanted = wide(text);
    if (textOf(boxes[row]) != wanted)
        ::SetWindowTextW(boxes[row], wanted.c_str());
}

void TOstrelF::showHelp()
{
    help_.showInFront();
}

void TOstrelF::requestClose()
{
    ::PostMessageW(window_, WM_CLOSE, 0, 0);
}

void TOstrelF::placeFrame(ScreenPoint position)
{
    ::SetWindowPos(window_, nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Where the frame stands, or for a minimised or maximised window where it
// stands when restored (the placement's rectangle is in work-area
// coordinates: the task bar's room above or left of it is added).
std::optional<ScreenPoint> TOstrelF::framePosition() const
{
    if (!::IsIconic(window_) && !::IsZoomed(window_)) {
        RECT frame{};
        ::GetWindowRect(window_, &frame);
        return ScreenPoint{frame.left, frame.top};
    }
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ::GetWindowPlacement(window_, &placement);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromRect(&placement.rcNormalPosition, MONITOR_DEFAULTTONEAREST), &monitor);
    return ScreenPoint{placement.rcNormalPosition.left + monitor.rcWork.left - monitor.rcMonitor.left,
                       placement.rcNormalPosition.top + monitor.rcWork.top - monitor.rcMonitor.top};
}

ScreenSize TOstrelF::frameSize() const
{
    RECT frame{};
    ::GetWindowRect(window_, &frame);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

} // namespace cttax::win32
