// SPDX-License-Identifier: MIT
#include "ui/qt/desktop.h"

#include <QAccessible>
#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QWindow>

namespace cttax {

namespace {

// A box that stands centred on a screen rather than over its parent: sized
// when it is shown, then put there before it appears.
class ScreenCentredBox : public QMessageBox {
public:
    ScreenCentredBox(Icon icon, const QString &title, const QString &text, QWidget *parent, const QScreen *screen)
        : QMessageBox(icon, title, text, QMessageBox::Ok, parent), screen_(screen)
    {
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        if (screen_ == nullptr)
            return;
        // The frame is centred, not the client area. Its size is not known
        // before the window manager frames the box: the parent's frame is
        // the first guess (right on most window managers), and the frame
        // the box really got puts it right once it is there.
        const QWidget *framed = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
        const QMargins guess = framed != nullptr && framed->windowHandle() != nullptr
                                   ? framed->windowHandle()->frameMargins()
                                   : QMargins();
        centreFrame(size().grownBy(guess));
        keepCentred(20);
    }

    void centreFrame(QSize frame)
    {
        const QPoint at = screen_->availableGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2);
        move(at);
        if (QWindow *handle = windowHandle())
            handle->setFramePosition(at);
    }

    void keepCentred(int checks)
    {
        QTimer::singleShot(25, this, [this, checks] {
            QWindow *handle = windowHandle();
            if (!isVisible() || handle == nullptr)
                return;
            if (handle->frameMargins().isNull()) { // not framed yet: look again
                if (checks > 1)
                    keepCentred(checks - 1);
                return;
            }
            const QPoint off = handle->frameGeometry().center() - screen_->availableGeometry().center();
            if (off.manhattanLength() > 2)
                centreFrame(handle->frameGeometry().size());
        });
    }

    // The control that had the focus is told to have lost it once the box
    // is active: a screen reader (Orca) takes a second "focused" without a
    // loss in between for a repeat, and would say nothing when the focus
    // comes back to it.
    void changeEvent(QEvent *event) override
    {
        QMessageBox::changeEvent(event);
        if (event->type() == QEvent::ActivationChange && isActiveWindow() && hadFocus_ != nullptr &&
            !hadFocus_->hasFocus()) {
            QAccessible::State focus;
            focus.focused = true;
            QAccessibleStateChangeEvent lost(hadFocus_, focus);
            QAccessible::updateAccessibility(&lost);
            hadFocus_ = nullptr;
        }
    }

private:
    const QScreen *screen_;
    QPointer<QWidget> hadFocus_ = QApplication::focusWidget();
};

void showModal(QMessageBox::Icon icon, const QString &title, const QString &text, QWidget *parent,
               const QScreen *centredOn = nullptr)
{
    ScreenCentredBox box(icon, title, text, parent, centredOn);
    box.setDefaultButton(QMessageBox::Ok); // Enter closes it
    box.setEscapeButton(QMessageBox::Ok);  // and so does Esc
    box.exec();
}

void announceFocus()
{
    if (QWidget *focus = QApplication::focusWidget()) {
        QAccessibleEvent event(focus, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

// Tells assistive technology where the focus is at the window's next
// activation, then goes.
class AnnounceFocusOnActivation final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate) {
            QTimer::singleShot(0, [] { announceFocus(); });
            watched->removeEventFilter(this);
            deleteLater();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void QtDesktop::warn(const std::string &message)
{
    QWidget *parent = owner_;
    const QString text = QString::fromStdString(message);
    // Centred on the screen, the one that holds the main window.
    showModal(QMessageBox::Warning, QStringLiteral("Warning"), text, parent,
              parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen());
    // The box that has the focus again is announced, not only the window:
    // at once, or where the window manager gives the window back only later,
    // at its activation.
    if (parent == nullptr || parent->window()->isActiveWindow())
        announceFocus();
    else
        parent->window()->installEventFilter(new AnnounceFocusOnActivation(parent->window()));
}

void QtDesktop::reportError(const std::string &title, const std::string &text)
{
    showModal(QMessageBox::Critical, QString::fromStdString(title), QString::fromStdString(text),
              QApplication::activeWindow());
}

void QtDesktop::beep()
{
    QApplication::beep();
}

void QtDesktop::openUrl(const std::string &address)
{
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}

bool platformHidesWindowPositions()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void placeFrameOf(QWidget *window, QPoint position)
{
    // QWidget::move counts the frame it knows of, which is none before a
    // window manager has framed the window: the client area would go to
    // `position` and the frame above and left of it. The native window then
    // takes the position as its frame's (north-west gravity), so the window
    // manager puts the frame there.
    window->move(position);
    if (QWindow *handle = window->windowHandle())
        handle->setFramePosition(position);
}

std::optional<QPoint> framePositionOf(const QWidget *window)
{
    if (platformHidesWindowPositions())
        return std::nullopt;
    return window->frameGeometry().topLeft();
}

std::vector<ScreenArea> QtDesktop::screenAreas() const
{
    std::vector<ScreenArea> areas;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        areas.push_back({area.left(), area.top(), area.width(), area.height()});
    }
    return areas;
}

} // namespace cttax
