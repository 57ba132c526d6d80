// SPDX-License-Identifier: MIT
#pragma once

#include "engine/tax_state.h"
#include "settings/settings_file.h"
#include "form/placement.h"
#include "form/view.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cttax {

// The design position, where the window stands when loading failed before
// a position was applied.
inline constexpr ScreenPoint kDesignPosition{637, 342};
// The main window's client area.
inline constexpr ScreenSize kClientSize{502, 523};
// The text every box holds until the program first writes it.
inline constexpr const char *kPlaceholder = "123456789.00";

// The main window's behaviour, written once for every front end: the load
// at show, the three input handlers, the recompute and presentation, the
// save at close and the error boundary. It owns the one TaxState. A front
// end's window class inherits it, so the handlers go by the window's own
// names, and gives it its controls and frame (form/view.h).
class MainForm {
public:
    MainForm(FormControls &controls, FormFrame &frame, FormDesktop &desktop, std::string title,
             SettingsLocation settings);

    // The handlers, as the window calls them. They raise their errors.
    //
    // writecfg: the frame's position (the one loaded where the display tells
    // none; the place the load gave where the frame is within one pixel of
    // it, so a window not moved never creeps), the two amounts and the
    // selected status, written as settings_file.h describes (the file is
    // the earlier one or the new one, never a mix).
    //   frame at 400,300 after a load that placed it at 401,300, Married,
    //   60000, 1200 -> "300\r\n401\r\n 6.00000000000000E+0004\r\n
    //   1.20000000000000E+0003\r\n1\r\n"
    // readcfg, in this order: where the settings file exists, its top,
    // left, AGI and property tax are read into the state and the status
    // (clamped to -1..3) is selected, which runs the status handler; the
    // frame is placed at the stored position brought onto some screen; the
    // two amounts are written into their boxes (each runs its handler, so
    // the results are computed); the state's status is selected again.
    // A failure half-way (a damaged line, an unreadable file) raises at that
    // line: what was read before it stays in the state, the boxes keep what
    // they had, and FormShow empties the result boxes that never showed a
    // result. Without a file: 10, 10, 0, 0 and Single.
    void writecfg();
    void readcfg();
    void calculate();
    void Exit1Click();
    void Help1Click();
    void FormShow();
    void FormClose();
    void FormCreate();
    void Edit1Change();
    void Edit2Change();
    void RadioStatusClick();
    void KaldoHomePage1Click();

    // The load of the window's first showing (for a window started
    // minimised, its first restore), before it is first drawn, through the
    // error boundary: once, whatever calls come later.
    void loadOnce();
    bool loaded() const { return loaded_; }
    // Typing starts with the filing status: the focus on its selected item,
    // or the first where none is.
    void focusFirst();
    // A close through the error boundary (at the end of the user's session,
    // the save of saveAtSessionEnd instead). The window then closes whatever
    // happened: an error has been reported, and the user must always be able
    // to leave.
    void closing(bool sessionEnds);

    // The save of a close at the end of the user's session (log-off,
    // shutdown, SIGTERM): as FormClose, but a failure goes to standard error,
    // never to a box that would hold the session's end up.
    void saveAtSessionEnd() noexcept;

    // Runs a handler where the toolkit called in: an error that leaves it
    // goes to the error report, and nothing leaves this.
    template <class Handler>
    void guarded(Handler &&handler) noexcept
    {
        try {
            handler();
        } catch (const std::exception &error) {
            reportException(error);
        } catch (...) {
            reportException(std::runtime_error("Unknown error"));
        }
    }

    const TaxState &taxState() const { return state_; }
    // Where the settings are kept.
    const SettingsLocation &settingsLocation() const { return settings_; }

    // The decimal symbol the boxes show and take besides "." (the
    // desktop's, as the front end reads it): "." where it is empty.
    void setDecimalSymbol(std::string symbol);
    const std::string &decimalSymbol() const { return decimalSymbol_; }

protected:
    // The desktop the form reports to, for a front end's own messages.
    FormDesktop &desktop() const { return desktop_; }

private:
    void inputChanged(FormControls::Input box, Extended &target, const char *warning);
    void reportException(const std::exception &error) noexcept;
    void emptyUnpresentedResults();

    FormControls &controls_;
    FormFrame &frame_;
    FormDesktop &desktop_;
    std::string title_;
    std::string decimalSymbol_ = ".";
    bool loaded_ = false;
    SettingsLocation settings_;
    TaxState state_;
    std::int32_t loadTop_ = 10;
    std::int32_t loadLeft_ = 10;
    std::optional<ScreenPoint> placedAt_; // where the loading put the frame
    // The texts the input handlers last ran for: a change notification for
    // the same text again (Wine sends one for Ctrl+A) runs nothing.
    std::optional<std::string> handledAgi_, handledPropertyTax_;
    // Which result boxes have shown a computed result: one that never has is
    // emptied when a calculation fails, so it never shows the placeholder
    // as if it were a result.
    std::array<bool, 6> presented_{};
};

// The text of the error report: the message, with "." appended when its last
// character's code is above that of "." ("Invalid numeric input" ->
// "Invalid numeric input.").
std::string errorReportText(const std::string &message);

// The application title from the executable's path (UTF-8): the file name
// after its last folder separator ("/", and "\\" too where
// `backslashSeparates`), cut at its first ".", every character after the
// first lowered by `lower` (the toolkit's Unicode rule, given the rest).
//   "/usr/bin/TaxTool.exe" -> "Taxtool"   "/a.b/CT.TAX.bin" -> "Ct"
std::string applicationTitleFor(std::string_view executablePath, bool backslashSeparates,
                                const std::function<std::string(std::string_view)> &lower);

// A caption as a screen reader should say it, without its dot leaders and
// "$": "Property Tax Credit Allowance.....................$" -> "Property
// Tax Credit Allowance".
std::string accessibleNameOf(const std::string &caption);

// A path as UTF-8 text for a message.
std::string displayPath(const SettingsPath &path);

// A box's text with the locale's decimal symbol read as "."; the symbol must
// be one character for it (so error positions stay where they were).
std::string withDecimalPoint(std::string text, const std::string &separator);

} // namespace cttax
