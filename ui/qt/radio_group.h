// SPDX-License-Identifier: MIT
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace cttax {

// A captioned group of radio items with an item index from -1 (none) to the
// last item. itemSelected(index) is emitted once whenever, and only when, the
// selection moves to an item, by the user or by setItemIndex, before the
// change returns; choosing the selected item again emits nothing.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString &caption, const QStringList &items, QWidget *parent = nullptr);

    int itemIndex() const { return index_; }
    // Clamps v to -1 .. count-1; -1 leaves no item selected and emits nothing.
    void setItemIndex(int v);
    QRadioButton *item(int index) const;
    int count() const;

signals:
    void itemSelected(int index);

private:
    QButtonGroup *group_;
    int index_ = -1;
};

} // namespace cttax
