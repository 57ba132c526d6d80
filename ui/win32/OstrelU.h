// SPDX-License-Identifier: MIT
#pragma once

#include "settings/settings_file.h"
#include "form/form.h"
#include "form/layout.h"

#include <array>
#include <string>
#include <vector>

#include <windows.h>

namespace cttax::win32 {

class TOstrelFhelp;

enum class Face { Title, Caption };
enum class Parent { Window, Group, Panel };

using Look = layout::Look;

// A control of the form's layout as this front end makes it: its place in
// its parent at 96 DPI (a label's width is its caption's: 0 there), its
// colours and its first text.
struct Placement {
    int id;
    Parent parent;
    const wchar_t *type;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height;
    Face face;
    const Look *look;
    std::string text;
    bool hidden = false;
};

// Control identifiers, which a test driver uses as well.
enum ControlId : int {
    kEdit1 = 101, kEdit2, kEdit3, kEdit4, kEdit5, kEdit6, kEdit7, kEdit8,
    kRadioFirst = 111, // Single, Married, Separately, Household: 111 to 114
    kRadioStatus = 120, kPanel1, kGroupFrame,
    kLabel1 = 131, kLabel2, kLabel3, kLabel4, kLabel5, kLabel6, kLabel7, kLabel8, kLabel9, kLabel10, kLabel11,
    // Hidden labels that give the result boxes their names for screen
    // readers (MSAA names a box by the label made right before it).
    kName3 = 143, kName4, kName5, kName6, kName7, kName8,
    kExit1 = 201, kHelp1, kKaldoHomePage1,
};

// The main window in Win32: real EDIT, STATIC and BUTTON controls in the
// fixed layout (at the monitor's DPI), the menu, and the notifications
// forwarded to the behaviour every front end shares (MainForm), which
// reaches the controls and the frame through the window itself and the
// desktop through the FormDesktop it is given. Each
// message that reaches a handler is an error boundary: no exception leaves
// the window procedure.
class TOstrelF final : private FormControls, private FormFrame, public MainForm {
public:
    TOstrelF(HINSTANCE instance, FormDesktop &desktop, std::wstring title, SettingsLocation settings, TOstrelFhelp &help);
    ~TOstrelF();
    TOstrelF(const TOstrelF &) = delete;
    TOstrelF &operator=(const TOstrelF &) = delete;

    // Shows the window the way the desktop asked (nCmdShow); the settings
    // are loaded before it is first drawn, or when a window started
    // minimised is first restored.
    void show(int showCommand);
    HWND handle() const { return window_; }

    HWND Label1{}, RadioStatus{}, Edit1{}, Label2{}, Label3{}, Panel1{}, Label4{}, Label5{}, Edit2{};
    HWND Label6{}, Label7{}, Label8{}, Label9{}, Label10{}, Label11{};
    HWND Edit3{}, Edit4{}, Edit5{}, Edit6{}, Edit7{}, Edit8{};
    HMENU MainMenu{}, File1{};

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void useLocaleDecimalSymbol();
    HWND *slotOf(int id);
    HFONT fontOf(const Placement &p) const { return p.face == Face::Title ? titleFont_ : captionFont_; }
    void makeFonts();
    RECT placeOf(const Placement &p, const std::wstring &text) const;
    void fitFrame();
    void layOut();
    void command(int id, int code);
    HBRUSH colours(HWND control, HDC dc);
    static LRESULT CALLBACK radioProc(HWND radio, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    static void drawFocus(HWND radio);
    void stepStatus(int step);
    void markTabStop();
    HWND radio(int index) const { return radios_[static_cast<std::size_t>(index)]; }

    // FormControls
    std::string inputText(Input input) const override;
    void writeInput(Input input, const std::string &text) override;
    void writeResult(std::size_t row, const std::string &text) override;
    int statusIndex() const override { return statusIndex_; }
    void setStatusIndex(int index) override;
    void focusStatusItem(int index) override;
    // FormFrame
    void placeFrame(ScreenPoint position) override;
    std::optional<ScreenPoint> framePosition() const override;
    ScreenSize frameSize() const override;
    void requestClose() override;
    void showHelp() override;

    TOstrelFhelp &help_;
    HWND window_ = nullptr;
    std::vector<HWND> controls_; // in the order of the layout
    std::array<HWND, 4> radios_{};
    int statusIndex_ = -1;
    UINT dpi_ = 96;
    HFONT captionFont_ = nullptr, titleFont_ = nullptr;
    // show() has been called: only from then on may a restore load (the
    // frame's sizing while it is made sends WM_SIZE too).
    bool showing_ = false;
    bool focusing_ = false; // a focus the program gives is no click
    HWND lastFocus_ = nullptr;
};


} // namespace cttax::win32
