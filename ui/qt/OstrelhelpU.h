// SPDX-License-Identifier: MIT
#pragma once

#include "form/help_text.h"

#include <QPoint>
#include <QWidget>

#include <optional>

class QHideEvent;
class QKeyEvent;
class QPlainTextEdit;

namespace cttax {


// The instructions window: one fixed, read-only text. Created hidden; its
// close button only hides it. The text box, its text and its font are made
// on the first showing, which keeps their construction, font matching and
// layout out of start-up.
class TOstrelFhelp : public QWidget {
    Q_OBJECT
public:
    explicit TOstrelFhelp(QWidget *parent = nullptr);

    // Shows the window and brings it to the front. The first showing
    // centres it on the whole virtual desktop; later ones show its frame
    // where it was when it was closed, where the user left it.
    void showInFront();

    QPlainTextEdit *Memo1; // null until the first showing

protected:
    // Escape closes it, as it does a tool window.
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void fillText();
    void keepFrameAt(QPoint frame, int checks);

    bool placed_ = false;            // shown once: text filled in and centred
    std::optional<QPoint> closedAt_; // the frame's place when it was last closed
};

} // namespace cttax
