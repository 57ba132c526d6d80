// SPDX-License-Identifier: MIT
#include "ui/web/dom.h"

#include <emscripten.h>

#include <cstdlib>

namespace {

// clang-format off
EM_JS(void, js_make_control, (const char *kind, const char *name, const char *parent, int left, int top, int width,
                              int height, const char *caption, const char *accessibleName, const char *font,
                              const char *colour, const char *background), {
    cttaxShell.makeControl(UTF8ToString(kind), UTF8ToString(name), UTF8ToString(parent), left, top, width, height,
                           UTF8ToString(caption), UTF8ToString(accessibleName), UTF8ToString(font),
                           UTF8ToString(colour), UTF8ToString(background));
});
EM_JS(void, js_controls_made, (), { cttaxShell.fitCaptions(); });
EM_JS(void, js_make_frame, (const char *title, const char *file, const char *exit, const char *help,
                            const char *home, int width, int height, const char *background), {
    cttaxShell.makeFrame(UTF8ToString(title), UTF8ToString(file), UTF8ToString(exit), UTF8ToString(help),
                         UTF8ToString(home), width, height, UTF8ToString(background));
});
EM_JS(char *, js_box_text, (const char *name), { return allocateUTF8(cttaxShell.boxText(UTF8ToString(name))); });
EM_JS(void, js_set_box_text, (const char *name, const char *text), {
    cttaxShell.setBoxText(UTF8ToString(name), UTF8ToString(text));
});
EM_JS(int, js_status_index, (), { return cttaxShell.statusIndex(); });
EM_JS(void, js_set_status_index, (int index), { cttaxShell.setStatusIndex(index); });
EM_JS(void, js_focus_status_item, (int index), { cttaxShell.focusStatusItem(index); });
EM_JS(void, js_place_frame, (int x, int y), { cttaxShell.placeFrame(x, y); });
EM_JS(int, js_frame_x, (), { return cttaxShell.frameRect().x; });
EM_JS(int, js_frame_y, (), { return cttaxShell.frameRect().y; });
EM_JS(int, js_frame_width, (), { return cttaxShell.frameRect().width; });
EM_JS(int, js_frame_height, (), { return cttaxShell.frameRect().height; });
EM_JS(int, js_view_width, (), { return cttaxShell.viewSize().width; });
EM_JS(int, js_view_height, (), { return cttaxShell.viewSize().height; });
EM_JS(void, js_close_window, (), { cttaxShell.closeWindow(); });
EM_JS(void, js_make_help, (const char *title, const char *text, int width, int height, int boxLeft, int boxTop,
                           int boxWidth, int boxHeight, const char *font, const char *colour, const char *background), {
    cttaxShell.makeHelp(UTF8ToString(title), UTF8ToString(text), width, height, boxLeft, boxTop, boxWidth, boxHeight,
                        UTF8ToString(font), UTF8ToString(colour), UTF8ToString(background));
});
EM_JS(void, js_show_help, (), { cttaxShell.showHelp(); });
EM_JS(int, js_help_width, (), { return cttaxShell.helpSize().width; });
EM_JS(int, js_help_height, (), { return cttaxShell.helpSize().height; });
EM_JS(void, js_place_help, (int x, int y), { cttaxShell.placeHelp(x, y); });
EM_JS(void, js_show_dialog, (const char *kind, const char *title, const char *text), {
    cttaxShell.showDialog(UTF8ToString(kind), UTF8ToString(title), UTF8ToString(text));
});
EM_JS(void, js_beep, (), { cttaxShell.beep(); });
EM_JS(void, js_open_in_new_tab, (const char *address), { cttaxShell.openInNewTab(UTF8ToString(address)); });
EM_JS(char *, js_decimal_symbol, (), { return allocateUTF8(cttaxShell.decimalSymbol()); });
EM_JS(char *, js_address_fragment, (), { return allocateUTF8(cttaxShell.addressFragment()); });
// clang-format on

std::string taken(char *text)
{
    std::string out = text != nullptr ? text : "";
    std::free(text);
    return out;
}

} // namespace

namespace cttax::web::dom {

void makeControl(const ControlSpec &c)
{
    js_make_control(c.kind, c.name, c.parent, c.left, c.top, c.width, c.height, c.caption.c_str(),
                    c.accessibleName.c_str(), c.font.c_str(), c.colour.c_str(), c.background.c_str());
}

void controlsMade()
{
    js_controls_made();
}

void makeFrame(const std::string &title, const std::string &fileMenu, const std::string &exitCommand,
               const std::string &helpCommand, const std::string &homePageCommand, ScreenSize client,
               const std::string &background)
{
    js_make_frame(title.c_str(), fileMenu.c_str(), exitCommand.c_str(), helpCommand.c_str(), homePageCommand.c_str(),
                  client.width, client.height, background.c_str());
}

std::string boxText(const char *name)
{
    return taken(js_box_text(name));
}

void setBoxText(const char *name, const std::string &text)
{
    js_set_box_text(name, text.c_str());
}

int statusIndex()
{
    return js_status_index();
}

void setStatusIndex(int index)
{
    js_set_status_index(index);
}

void focusStatusItem(int index)
{
    js_focus_status_item(index);
}

void placeFrame(ScreenPoint at)
{
    js_place_frame(at.x, at.y);
}

ScreenPoint framePosition()
{
    return {js_frame_x(), js_frame_y()};
}

ScreenSize frameSize()
{
    return {js_frame_width(), js_frame_height()};
}

ScreenSize viewportSize()
{
    return {js_view_width(), js_view_height()};
}

void closeWindow()
{
    js_close_window();
}

void makeHelp(const std::string &title, const std::string &text, ScreenSize client, ScreenArea textBox,
              const std::string &font, const std::string &colour, const std::string &background)
{
    js_make_help(title.c_str(), text.c_str(), client.width, client.height, textBox.left, textBox.top, textBox.width,
                 textBox.height, font.c_str(), colour.c_str(), background.c_str());
}

void showHelp()
{
    js_show_help();
}

ScreenSize helpFrameSize()
{
    return {js_help_width(), js_help_height()};
}

void placeHelp(ScreenPoint at)
{
    js_place_help(at.x, at.y);
}

void showDialog(const char *kind, const std::string &title, const std::string &text)
{
    js_show_dialog(kind, title.c_str(), text.c_str());
}

void beep()
{
    js_beep();
}

void openInNewTab(const std::string &address)
{
    js_open_in_new_tab(address.c_str());
}

std::string decimalSymbol()
{
    return taken(js_decimal_symbol());
}

std::string addressFragment()
{
    return taken(js_address_fragment());
}

} // namespace cttax::web::dom
