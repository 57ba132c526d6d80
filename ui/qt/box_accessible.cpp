// SPDX-License-Identifier: MIT
#include "ui/qt/box_accessible.h"

#include <QAccessibleWidget>
#include <QFontMetrics>

namespace cttax {

namespace {

class AmountBoxAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AmountBoxAccessible(AmountBox *box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return box()->text();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = box()->isReadOnly();
        state.editable = !box()->isReadOnly();
        state.selectableText = true;
        return state;
    }

    // ------------------------------------------------------------ the text

    QString text(int startOffset, int endOffset) const override
    {
        return box()->text().mid(startOffset, endOffset - startOffset);
    }

    int characterCount() const override { return static_cast<int>(box()->text().size()); }

    // One run over the whole text, with no attributes of its own.
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        if (offset < 0 || offset > characterCount()) {
            *startOffset = *endOffset = -1;
            return {};
        }
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && box()->hasSelectedText()) {
            *startOffset = box()->selectionStart();
            *endOffset = box()->selectionEnd();
        }
    }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override { box()->deselect(); }
    void setSelection(int, int startOffset, int endOffset) override
    {
        box()->setSelection(startOffset, endOffset - startOffset);
    }

    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }

    // Where a character is drawn, on the screen: the text's place in the box
    // (it shows from its start; QLineEdit keeps 2 pixels beside its text)
    // plus the width of what stands before it.
    QRect characterRect(int offset) const override
    {
        const QString text = box()->text();
        if (offset < 0 || offset >= text.size())
            return {};
        const QFontMetrics metrics(box()->font());
        const QRect inside = box()->contentsRect().marginsRemoved(box()->textMargins());
        const int top = inside.top() + (inside.height() - metrics.height()) / 2;
        const QRect local(inside.left() + 2 + metrics.horizontalAdvance(text.left(offset)), top,
                          metrics.horizontalAdvance(text.at(offset)), metrics.height());
        return QRect(box()->mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int) override { box()->setCursorPosition(startIndex); }

private:
    QLineEdit *box() const { return static_cast<QLineEdit *>(widget()); }
};

QAccessibleInterface *describeAmountBox(const QString &className, QObject *object)
{
    auto *box = qobject_cast<AmountBox *>(object);
    if (box == nullptr || className != QLatin1String(AmountBox::staticMetaObject.className()))
        return nullptr;
    return new AmountBoxAccessible(box);
}

} // namespace

void installAmountBoxAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(describeAmountBox);
        return true;
    }();
    (void)installed;
}

} // namespace cttax
