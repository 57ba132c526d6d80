// SPDX-License-Identifier: MIT
#include "ui/web/OstrelhelpU.h"

#include "form/help_text.h"
#include "form/layout.h"
#include "form/placement.h"
#include "ui/web/dom.h"
#include "ui/web/style.h"

namespace cttax::web {

// Made at its first showing, not at the start: the page paints sooner.
void TOstrelFhelp::showInFront()
{
    const bool first = !made_;
    if (first) {
        made_ = true;
        dom::makeHelp(layout::kHelpTitle, helpText("\n"), layout::kHelpClient, layout::kHelpText, cssFont(layout::kHelpFace),
                      cssColour(layout::kHelpLook.text), cssColour(layout::kHelpLook.background));
    }
    dom::showHelp();
    if (first) {
        // Centred in the view, as the desktop centres it on the screens.
        const ScreenSize view = dom::viewportSize();
        dom::placeHelp(centredOnDesktop({0, 0, view.width, view.height}, dom::helpFrameSize()));
    }
}

} // namespace cttax::web
