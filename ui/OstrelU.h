// SPDX-License-Identifier: MIT
#pragma once

#include "engine/tax_state.h"
#include "settings/settings_file.h"
#include "ui/radio_group.h"

#include <QMainWindow>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;

namespace cttax {

class Platform;
class TOstrelFhelp;

// The main window: two amount boxes and the filing status group in, six
// read-only result boxes out, recomputed on every change. It reads the
// controls, calls the engine and the text library, and writes the controls;
// no arithmetic lives here.
//
// Every place where Qt calls into the window is an error boundary: an error
// that leaves a handler goes to the application's error report, and the
// application goes on with the next event.
class TOstrelF : public QMainWindow {
    Q_OBJECT
public:
    TOstrelF(Platform &platform, QString applicationTitle, SettingsLocation settings,
             TOstrelFhelp *help, QWidget *parent = nullptr);

    QLabel *Label1;
    QMenuBar *MainMenu;
    QMenu *File1;
    QAction *Exit1;
    QAction *Help1;
    RadioGroup *RadioStatus;
    QLineEdit *Edit1;
    QLabel *Label2;
    QLabel *Label3;
    QFrame *Panel1;
    QLabel *Label4;
    QLabel *Label5;
    QLineEdit *Edit2;
    QLabel *Label6;
    QLabel *Label7;
    QLabel *Label8;
    QLabel *Label9;
    QLabel *Label10;
    QLabel *Label11;
    QLineEdit *Edit3;
    QLineEdit *Edit4;
    QLineEdit *Edit5;
    QLineEdit *Edit6;
    QLineEdit *Edit7;
    QLineEdit *Edit8;
    QAction *KaldoHomePage1;

    void writecfg();
    void readcfg();
    void calculate();
    void Exit1Click();
    void Help1Click();
    void FormShow();
    void FormClose();
    void FormCreate();
    void Edit1Change();
    void Edit2Change();
    void RadioStatusClick();
    void KaldoHomePage1Click();

    const TaxState &taxState() const { return state_; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildControls();
    void buildMenu();
    void inputChanged(QLineEdit *edit, Extended &target, const char *warning);
    static void writeBox(QLineEdit *box, const QString &text);
    QSize expectedFrameSize() const;
    // Runs a handler at the boundary where Qt called in.
    template <class Handler>
    void guarded(Handler &&handler) noexcept;
    void reportError(const std::exception &error) noexcept;

    Platform &platform_;
    QString applicationTitle_;
    SettingsLocation settings_;
    TOstrelFhelp *help_;
    TaxState state_;
    std::int32_t loadTop_ = 10;
    std::int32_t loadLeft_ = 10;
    std::optional<QPoint> placedAt_; // where the loading put the frame
    bool shown_ = false;
};

// Sets the decimal separator that results are written with from the user's
// locale (the system's, or "." where it gives none).
void useLocaleDecimalSeparator();

} // namespace cttax
