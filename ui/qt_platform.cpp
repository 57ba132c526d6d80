// SPDX-License-Identifier: MIT
#include "ui/qt_platform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace cttax {

namespace {

void showModal(QMessageBox::Icon icon, const QString &title, const QString &text, QWidget *parent)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setDefaultButton(QMessageBox::Ok); // Enter closes it
    box.setEscapeButton(QMessageBox::Ok);  // and so does Esc
    box.exec();
}

} // namespace

void QtPlatform::warn(QWidget *parent, const QString &text)
{
    showModal(QMessageBox::Warning, QStringLiteral("Warning"), text, parent);
}

void QtPlatform::reportError(const QString &title, const QString &text)
{
    showModal(QMessageBox::Critical, title, text, QApplication::activeWindow());
}

void QtPlatform::beep()
{
    QApplication::beep();
}

void QtPlatform::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

} // namespace cttax
