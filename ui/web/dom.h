// SPDX-License-Identifier: MIT
// The page's side of the web front end (shell/shell.js), as the C++ side
// calls it. Texts are UTF-8; nothing here throws.
#pragma once

#include "form/placement.h"

#include <string>

namespace cttax::web::dom {

// A control of the layout table, made in the page's client area (or in the
// group or the panel): its kind ("label", "input", "result", "group",
// "item", "panel"), its name, its place at 96 DPI, its caption, its
// accessible name, its face and its colours as CSS.
struct ControlSpec {
    const char *kind;
    const char *name;
    const char *parent; // "client", "group" or "panel"
    int left, top, width, height;
    std::string caption;
    std::string accessibleName;
    std::string font;       // CSS font shorthand
    std::string colour;     // CSS colour of the text
    std::string background; // CSS colour behind it
};
void makeControl(const ControlSpec &control);
// Every control is made: the page fits their texts.
void controlsMade();
// The window's frame: its title, menu texts (with "&" before access keys),
// client size and colours.
void makeFrame(const std::string &title, const std::string &fileMenu, const std::string &exitCommand,
               const std::string &helpCommand, const std::string &homePageCommand, ScreenSize client,
               const std::string &background);

std::string boxText(const char *name);
void setBoxText(const char *name, const std::string &text);
int statusIndex();
void setStatusIndex(int index);
void focusStatusItem(int index);

void placeFrame(ScreenPoint at);
ScreenPoint framePosition();
ScreenSize frameSize();
ScreenSize viewportSize();
// The page's "closed" state after File > Exit (a page cannot close its tab).
void closeWindow();

// The help window, hidden: its client size, the text box's place in it.
void makeHelp(const std::string &title, const std::string &text, ScreenSize client, ScreenArea textBox,
              const std::string &font, const std::string &colour, const std::string &background);
// Shows the help window in front, no taller than the view.
void showHelp();
ScreenSize helpFrameSize();
void placeHelp(ScreenPoint at);

// A modal dialog centred in the view, the focus back where it was when it
// closes; `kind` "warning" or "error".
void showDialog(const char *kind, const std::string &title, const std::string &text);
void beep();
void openInNewTab(const std::string &address);
// The browser's decimal symbol for its locale (Intl.NumberFormat).
std::string decimalSymbol();
// The fragment of the page's address, decoded; empty where there is none.
std::string addressFragment();

} // namespace cttax::web::dom
