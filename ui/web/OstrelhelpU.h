// SPDX-License-Identifier: MIT
#pragma once

namespace cttax::web {

// The help window in the browser: a panel over the page, not modal, moved by
// its title bar, closed by Escape or its close button. Centred in the view
// at its first showing, then where it was left.
class TOstrelFhelp {
public:
    void showInFront();

private:
    bool made_ = false; // made and first placed
};

} // namespace cttax::web
