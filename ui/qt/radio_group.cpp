// SPDX-License-Identifier: MIT
#include "ui/qt/radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>

#include <algorithm>

namespace cttax {

namespace {

// An item takes a click anywhere in its row, not only on its circle and
// word; the rest of the group (its frame and caption) still takes none.
class RowRadioButton final : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

} // namespace

RadioGroup::RadioGroup(const QString &caption, const QStringList &items, QWidget *parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this))
{
    for (int i = 0; i < items.size(); ++i)
        group_->addButton(new RowRadioButton(items[i], this), i);
    // A program write checks a button without a click, and a click on the
    // checked button toggles nothing: idToggled(id, true) is the one signal
    // that fires exactly when the selection moves to an item.
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked || id == index_)
            return;
        index_ = id;
        emit itemSelected(id);
    });
}

void RadioGroup::setItemIndex(int v)
{
    v = std::clamp(v, -1, count() - 1);
    if (v == index_)
        return;
    if (v >= 0) {
        group_->button(v)->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its last button; lift the rule for
    // the moment.
    group_->setExclusive(false);
    group_->button(index_)->setChecked(false);
    group_->setExclusive(true);
    index_ = -1;
}

QRadioButton *RadioGroup::item(int index) const
{
    return static_cast<QRadioButton *>(group_->button(index));
}

int RadioGroup::count() const
{
    return static_cast<int>(group_->buttons().size());
}

} // namespace cttax
