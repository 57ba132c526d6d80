// SPDX-License-Identifier: MIT
#pragma once

#include "form/form.h"
#include "settings/settings_file.h"

#include <string>

namespace cttax::web {

class TOstrelFhelp;

// The main window in the browser: a panel of DOM controls made from the
// layout table (shell/shell.js makes and reads them), and the page's
// notifications forwarded to the behaviour every front end shares
// (MainForm). Each notification is an error boundary: nothing thrown
// reaches JavaScript.
class TOstrelF final : private FormControls, private FormFrame, public MainForm {
public:
    TOstrelF(FormDesktop &desktop, SettingsLocation settings, TOstrelFhelp &help);

    // The first showing: the stored settings, then the figures of a link's
    // fragment ("married,60000,1200") over them, which are not stored until
    // the user changes something.
    void start(const std::string &fragment);

    // A link's fragment followed while the page is open.
    void openLink(const std::string &fragment);

    // The page's notifications. `box` 0 is the AGI, 1 the property tax.
    void boxChanged(int box);
    void statusChosen();
    enum class Command { Exit, Help, HomePage };
    void command(Command which);
    // The page is hidden or left: the settings are stored, as at a close.
    void pageHidden();
    // The settings as the desktop's cttax.fig, after storing the window's
    // state; empty where storing failed (and was reported).
    std::string exportSettings();
    // A desktop cttax.fig: checked as a load reads it, stored, then loaded
    // into the window; a damaged one is reported and nothing changes.
    void importSettings(const std::string &bytes);

private:
    void applyFragment(const std::string &fragment);
    void userChanged() { fromLink_ = false; }
    // The box's change handler, through the error boundary.
    void changed(Input input);
    std::string storageKey() const { return settingsLocation().file.string(); }

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

    TOstrelFhelp &help_;
    bool fromLink_ = false; // the boxes hold a link's figures, not yet stored
    bool closed_ = false;
};

} // namespace cttax::web
