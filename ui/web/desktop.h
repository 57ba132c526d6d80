// SPDX-License-Identifier: MIT
#pragma once

#include "form/view.h"

namespace cttax::web {

// The desktop in the browser: modal dialogs in the page, a short tone for
// the beep, a new tab for a web address, the view as the one screen.
class WebDesktop final : public FormDesktop {
public:
    void warn(const std::string &text) override;
    void reportError(const std::string &title, const std::string &text) override;
    void beep() override;
    void openUrl(const std::string &address) override;
    std::vector<ScreenArea> screenAreas() const override;
};


} // namespace cttax::web
