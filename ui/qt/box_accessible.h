// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>

namespace cttax {

// The eight amount boxes. As assistive technology sees them: Qt's own
// description of a single-line box reports an empty text attribute run at
// every offset, and a screen reader that builds what it says from the runs
// (Orca) then speaks every amount one character short ("6000" for 60000,
// nothing for "0"). An AmountBox reports one run over its whole text, and
// everything else as Qt does. A class of its own, since Qt asks the
// installed descriptions by class name, its own for QLineEdit first.
class AmountBox final : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
};

// Installs the description of the amount boxes (once; before the first box
// is described).
void installAmountBoxAccessibility();

} // namespace cttax
