// SPDX-License-Identifier: MIT
#include "ui/web/OstrelhelpU.h"

#include "form/help_text.h"
#include "form/layout.h"
#include "ui/web/dom.h"
#include "ui/web/style.h"

namespace cttax::web {

TOstrelFhelp::TOstrelFhelp()
{
    dom::makeHelp(layout::kHelpTitle, helpText("\n"), layout::kHelpClient, layout::kHelpText, cssFont(layout::kHelpFace),
                  cssColour(layout::kHelpLook.text), cssColour(layout::kHelpLook.background));
}

void TOstrelFhelp::showInFront()
{
    dom::showHelp();
}

} // namespace cttax::web
