// SPDX-License-Identifier: MIT
#include "ui/qt/OstrelhelpU.h"

#include "form/help_text.h"
#include "ui/qt/desktop.h"
#include "ui/qt/window_style.h"

#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace cttax {

namespace {

// The outer size is 442 x 798 with a standard frame (8 pixels each side, a
// 31-pixel caption) around the layout's client area.
constexpr int kOuterWidth = layout::kHelpClient.width + 16;
constexpr int kOuterHeight = layout::kHelpClient.height + 39;

} // namespace

TOstrelFhelp::TOstrelFhelp(QWidget *parent)
    : QWidget(parent, Qt::Window), Memo1(nullptr)
{
    setObjectName("OstrelFhelp");
    setWindowTitle(layout::kHelpTitle);
    setWindowIcon(applicationIcon());
    setFixedSize(layout::kHelpClient.width, layout::kHelpClient.height);
    setAttribute(Qt::WA_QuitOnClose, false);
    setPalette(withBackground(palette(), colourOf(layout::kHelpBackground)));
    setAutoFillBackground(true);
}

void TOstrelFhelp::fillText()
{
    // The classic narrow dialog face where a desktop has it; otherwise a face
    // of the same width class, so the lines wrap as they were written.
    QFont font = fontOf(layout::kHelpFace);
    font.setFamilies({layout::kHelpFace.family, "Microsoft Sans Serif", "Liberation Sans", "Arial"});
    setFont(font);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    const ScreenArea &box = layout::kHelpText;
    Memo1->setGeometry(box.left, box.top, box.width, box.height);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setPalette(withBase(Memo1->palette(), colourOf(layout::kHelpLook.background), colourOf(layout::kHelpLook.text)));
    Memo1->setAccessibleName("Instructions");
    Memo1->setPlainText(QString::fromStdString(helpText("\n")));
}

void TOstrelFhelp::showInFront()
{
    if (isHidden()) {
        if (!placed_) {
            fillText();
            const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
            const ScreenPoint at = centredOnDesktop({desktop.left(), desktop.top(), desktop.width(), desktop.height()},
                                                    {kOuterWidth, kOuterHeight});
            move(at.x, at.y);
            placed_ = true;
        }
        show();
        if (closedAt_)
            keepFrameAt(*closedAt_, 20);
    }
    raise();
    activateWindow();
}

// Window managers differ in what the place asked for at a later showing
// means: most put the frame back where it was, one (i3) puts it where the
// client area was, and the window would creep by its frame at every showing.
// Once the window is framed, a frame found elsewhere is moved back: the
// client area asked for where the frame's offset puts the frame in place.
void TOstrelFhelp::keepFrameAt(QPoint frame, int checks)
{
    QTimer::singleShot(25, this, [this, frame, checks] {
        const std::optional<QPoint> now = framePositionOf(this);
        if (isHidden() || !now)
            return;
        QWindow *handle = windowHandle();
        const QPoint client = mapToGlobal(QPoint(0, 0));
        if (*now != frame && client != *now && handle != nullptr)
            handle->setPosition(frame + (client - *now));
        else if (checks > 1)
            keepFrameAt(frame, checks - 1); // not framed yet: look again
    });
}

void TOstrelFhelp::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous())
        closedAt_ = framePositionOf(this);
    QWidget::hideEvent(event);
}

void TOstrelFhelp::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace cttax
