// SPDX-License-Identifier: MIT
#pragma once

#include "form/placement.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace cttax {

// What the main window's behaviour needs of a front end, in three parts:
// its controls, its frame and the desktop around it. Texts are UTF-8. A
// toolkit's window class gives the controls and the frame itself; the
// desktop is one object per application (a test records its calls).

// The boxes and the status group. The input boxes are Edit1 (the AGI) and
// Edit2 (the property tax), the results Edit3 to Edit8 in the order of
// kPresentedResults (form/layout.h has them all).
//
// The controls notify as a form's controls do, also on the program's own
// writes: `writeInput` of a text other than the box's runs the box's change
// handler (through the front end's boundary) before it returns, and a text
// equal to the box's runs nothing; `setStatusIndex` is given -1 (none) to 3
// (the form clamps a stored number) and, where the index changes to an
// item, runs the status handler once.
class FormControls {
public:
    enum class Input { Agi, PropertyTax };

    virtual std::string inputText(Input box) const = 0;
    virtual void writeInput(Input box, const std::string &text) = 0;
    // Result box `row` (0 to 5, in the order of kPresentedResults).
    virtual void writeResult(std::size_t row, const std::string &text) = 0;
    virtual int statusIndex() const = 0;
    virtual void setStatusIndex(int index) = 0;
    // Gives status item `index` (0 to 3) the keyboard focus; a focus given
    // so selects nothing.
    virtual void focusStatusItem(int index) = 0;

protected:
    ~FormControls() = default;
};

// The main window's frame, and the help window it shows.
class FormFrame {
public:
    // The frame's outer top-left corner in desktop coordinates; nothing where
    // the display does not tell a client its position (Wayland).
    virtual void placeFrame(ScreenPoint position) = 0;
    virtual std::optional<ScreenPoint> framePosition() const = 0;
    // The frame's size, or an estimate where the window is not framed yet.
    virtual ScreenSize frameSize() const = 0;
    // Asks the window to close, as its close button does.
    virtual void requestClose() = 0;
    virtual void showHelp() = 0;

protected:
    ~FormFrame() = default;
};

// The desktop: its modal boxes (owned by the main window once it is made),
// its beep, its browser and its screens.
class FormDesktop {
public:
    // The input warning: modal, "Warning", exclamation icon, one "OK".
    virtual void warn(const std::string &text) = 0;
    // The error report: modal, the title as caption, stop icon.
    virtual void reportError(const std::string &title, const std::string &text) = 0;
    virtual void beep() = 0;
    // Opens a web address in the default browser; failure is silent.
    virtual void openUrl(const std::string &address) = 0;
    // The screens' areas available to windows, in desktop coordinates.
    virtual std::vector<ScreenArea> screenAreas() const = 0;

protected:
    ~FormDesktop() = default;
};

} // namespace cttax
