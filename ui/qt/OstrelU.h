// SPDX-License-Identifier: MIT
#pragma once

#include "engine/tax_state.h"
#include "settings/settings_file.h"
#include "form/form.h"
#include "ui/qt/radio_group.h"

#include <QMainWindow>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>
#include <string_view>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;

namespace cttax {

class TOstrelFhelp;

// The main window in Qt: the controls, and the notifications forwarded to
// the behaviour every front end shares (MainForm), which reads and writes
// the controls and the frame through the window itself (form/view.h) and
// reaches the desktop through the FormDesktop it is given. Every place where Qt calls into the window
// is an error boundary: an error that leaves a handler goes to the
// application's error report, and the application goes on with the next
// event.
class TOstrelF : public QMainWindow, private FormControls, private FormFrame, public MainForm {
    Q_OBJECT
public:
    TOstrelF(FormDesktop &desktop, QString applicationTitle, SettingsLocation settings,
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

    // The end of the user's session (the session manager's quit, SIGTERM,
    // SIGHUP): the window closes as by File > Exit, but a failed save is
    // told on standard error, not in a box that would hold the end up.
    void endSession();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildControls();
    void useLocaleDecimalSymbol();
    QLabel **labelSlot(std::string_view name);
    QLineEdit **boxSlot(std::string_view name);
    void buildMenu();
    QLineEdit *box(Input input) const { return input == Input::Agi ? Edit1 : Edit2; }
    static void writeBox(QLineEdit *box, const QString &text);

    // FormControls
    std::string inputText(Input input) const override;
    void writeInput(Input input, const std::string &text) override;
    void writeResult(std::size_t row, const std::string &text) override;
    int statusIndex() const override;
    void setStatusIndex(int index) override;
    void focusStatusItem(int index) override;
    // FormFrame
    void placeFrame(ScreenPoint position) override;
    std::optional<ScreenPoint> framePosition() const override;
    ScreenSize frameSize() const override;
    void requestClose() override;
    void showHelp() override;

    TOstrelFhelp *help_;
    bool endingSession_ = false;
};


} // namespace cttax
