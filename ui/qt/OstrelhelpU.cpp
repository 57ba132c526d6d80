// SPDX-License-Identifier: MIT
#include "ui/qt/OstrelhelpU.h"

#include "form/help_text.h"
#include "ui/qt/platform.h"
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
// 31-pixel caption); the client area below is what is left of it.
constexpr int kOuterWidth = 442;
constexpr int kOuterHeight = 798;
constexpr int kClientWidth = 426;
constexpr int kClientHeight = 759;

} // namespace

TOstrelFhelp::TOstrelFhelp(Platform *platform, QWidget *parent)
    : QWidget(parent, Qt::Window), Memo1(nullptr), platform_(platform)
{
    setObjectName("OstrelFhelp");
    setWindowTitle("Kaldo 2011 Help");
    setWindowIcon(applicationIcon());
    setFixedSize(kClientWidth, kClientHeight);
    setAttribute(Qt::WA_QuitOnClose, false);
    setPalette(withBackground(palette(), buttonFaceColor()));
    setAutoFillBackground(true);
}

void TOstrelFhelp::fillText()
{
    // The classic narrow dialog face where a desktop has it; otherwise a face
    // of the same width class, so the lines wrap as they were written.
    QFont font = pixelFont("MS Sans Serif", 13, false);
    font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial"});
    setFont(font);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(16, 18, 394, 723);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setPalette(withBase(Memo1->palette(), QColor(192, 220, 192), windowTextColor()));
    Memo1->setAccessibleName("Instructions");
    Memo1->setPlainText(QString::fromStdString(helpText("\n")));
}

void TOstrelFhelp::showInFront()
{
    if (isHidden()) {
        if (!placed_) {
            fillText();
            const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
            move(std::max(0, (desktop.width() - kOuterWidth) / 2), std::max(0, (desktop.height() - kOuterHeight) / 2));
            placed_ = true;
        }
        show();
        if (platform_ != nullptr && closedAt_)
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
        const std::optional<QPoint> now = platform_->framePosition(this);
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
    if (platform_ != nullptr && !event->spontaneous())
        closedAt_ = platform_->framePosition(this);
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
