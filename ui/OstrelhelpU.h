// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QKeyEvent;
class QPlainTextEdit;

namespace cttax {

inline constexpr const char *kHomePage = "https://cttax.example.org/";
inline constexpr const char *kEmailAddress = "cttax@example.org";

// The instructions window: one fixed, read-only text. Created hidden; its
// close button only hides it. The text box, its text and its font are made
// on the first showing, which keeps their construction, font matching and
// layout out of start-up.
class TOstrelFhelp : public QWidget {
    Q_OBJECT
public:
    explicit TOstrelFhelp(QWidget *parent = nullptr);

    // Shows the window and brings it to the front. The first showing
    // centres it on the whole virtual desktop; later ones leave it where the
    // user put it.
    void showInFront();

    QPlainTextEdit *Memo1; // null until the first showing

protected:
    // Escape closes it, as it does a tool window.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fillText();

    bool placed_ = false; // shown once: text filled in and centred
};

} // namespace cttax
