// SPDX-License-Identifier: MIT
// The page's program: the main window made over the page's DOM and loaded at
// start, then driven by the page's notifications (shell/shell.js calls the
// functions below). Each returns normally whatever happened.
#include "ui/web/OstrelU.h"
#include "ui/web/OstrelhelpU.h"
#include "ui/web/desktop.h"
#include "ui/web/dom.h"

#include "engine/fpenv.h"

#include <emscripten.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

cttax::web::TOstrelF *window = nullptr;

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void cttax_box_changed(int box)
{
    if (window != nullptr)
        window->boxChanged(box);
}

EMSCRIPTEN_KEEPALIVE void cttax_status_chosen()
{
    if (window != nullptr)
        window->statusChosen();
}

// 0 File > Exit, 1 Help, 2 the home page.
EMSCRIPTEN_KEEPALIVE void cttax_command(int which)
{
    if (window != nullptr && which >= 0 && which <= 2)
        window->command(static_cast<cttax::web::TOstrelF::Command>(which));
}

EMSCRIPTEN_KEEPALIVE void cttax_link_followed()
{
    if (window != nullptr)
        window->openLink(cttax::web::dom::addressFragment());
}

EMSCRIPTEN_KEEPALIVE void cttax_page_hidden()
{
    if (window != nullptr)
        window->pageHidden();
}

// The settings file's bytes (malloc'ed, the caller frees them); *length its size.
EMSCRIPTEN_KEEPALIVE char *cttax_export(int *length)
{
    *length = 0;
    const std::string text = window != nullptr ? window->exportSettings() : std::string();
    char *bytes = static_cast<char *>(std::malloc(text.size() + 1));
    if (bytes != nullptr) {
        std::memcpy(bytes, text.data(), text.size());
        *length = static_cast<int>(text.size());
    }
    return bytes;
}

EMSCRIPTEN_KEEPALIVE void cttax_import(const char *bytes, int length)
{
    if (window != nullptr && bytes != nullptr && length >= 0)
        window->importSettings(std::string(bytes, static_cast<std::size_t>(length)));
}

} // extern "C"

int main()
{
    cttax::setUpFloatingPoint();
    static cttax::web::WebDesktop desktop;
    static cttax::web::TOstrelFhelp help;
    static cttax::web::TOstrelF main(desktop, cttax::SettingsLocation("cttax.fig", false), help);
    window = &main;
    main.start(cttax::web::dom::addressFragment());
    return 0;
}
