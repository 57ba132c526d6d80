// SPDX-License-Identifier: MIT
#include "ui/web/desktop.h"

#include "ui/web/dom.h"

namespace cttax::web {

void WebDesktop::warn(const std::string &text)
{
    dom::showDialog("warning", "Warning", text);
}

void WebDesktop::reportError(const std::string &title, const std::string &text)
{
    dom::showDialog("error", title, text);
}

void WebDesktop::beep()
{
    dom::beep();
}

void WebDesktop::openUrl(const std::string &address)
{
    dom::openInNewTab(address);
}

std::vector<ScreenArea> WebDesktop::screenAreas() const
{
    const ScreenSize view = dom::viewportSize();
    return {{0, 0, view.width, view.height}};
}

} // namespace cttax::web
