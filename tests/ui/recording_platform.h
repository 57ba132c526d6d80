// SPDX-License-Identifier: MIT
#pragma once

#include "ui/platform.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// Records what the windows ask of the desktop, in order, without blocking.
class RecordingPlatform final : public cttax::Platform {
public:
    void warn(QWidget *, const QString &text) override { calls << "warn: " + text; }
    void reportError(const QString &title, const QString &text) override
    {
        calls << "error: " + title + " | " + text;
    }
    void beep() override { calls << "beep"; }
    void openUrl(const QUrl &url) override { calls << "open: " + url.toString(); }

    QStringList calls;
};
