// SPDX-License-Identifier: MIT
#include "ui/web/OstrelU.h"

#include "cli/batch.h"
#include "cli/csv.h"
#include "form/layout.h"
#include "settings/web/storage.h"
#include "ui/web/OstrelhelpU.h"
#include "ui/web/dom.h"
#include "ui/web/style.h"

#include <array>
#include <string_view>
#include <vector>

namespace cttax::web {

namespace {

const char *kindOf(layout::Role role)
{
    switch (role) {
    case layout::Role::Label: return "label";
    case layout::Role::Input: return "input";
    case layout::Role::Result: return "result";
    case layout::Role::Group: return "group";
    case layout::Role::Item: return "item";
    case layout::Role::Panel: break;
    }
    return "panel";
}

const char *parentOf(layout::Parent parent)
{
    return parent == layout::Parent::Group ? "group" : parent == layout::Parent::Panel ? "panel" : "client";
}

// The result boxes by row, in the order of kPresentedResults.
constexpr std::array<const char *, 6> kResultBoxes = {"Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8"};

const char *boxName(FormControls::Input input)
{
    return input == FormControls::Input::Agi ? "Edit1" : "Edit2";
}

} // namespace

TOstrelF::TOstrelF(FormDesktop &desktop, SettingsLocation settings, TOstrelFhelp &help)
    : MainForm(*this, *this, desktop, "cttax", std::move(settings)), help_(help)
{
    setDecimalSymbol(dom::decimalSymbol());
    dom::makeFrame(layout::kWindowTitle, layout::kFileMenu, layout::kExitCommand, layout::kHelpCommand,
                   layout::kHomePageCommand, kClientSize, cssColour(layout::kWindowLook.background));
    // Each box is named for screen readers by the caption made right before it.
    std::string lastCaption;
    for (const layout::Control &c : layout::kControls) {
        const bool box = c.role == layout::Role::Input || c.role == layout::Role::Result;
        const std::string caption = c.caption != nullptr ? c.caption : box ? kPlaceholder : "";
        if (c.role == layout::Role::Label && std::string_view(c.caption) != "$")
            lastCaption = c.caption;
        dom::makeControl({kindOf(c.role), c.name, parentOf(c.parent), c.left, c.top, c.width, c.height, caption,
                          box ? accessibleNameOf(lastCaption) : accessibleNameOf(caption), cssFont(*c.face),
                          cssColour(c.look->text), cssColour(c.look->background)});
    }
    dom::controlsMade();
    FormCreate();
}

void TOstrelF::start(const std::string &fragment)
{
    loadOnce();
    if (!fragment.empty())
        guarded([&] { applyFragment(fragment); });
    focusFirst();
}

// The batch calculator's CSV form, STATUS,AGI,PROPERTY_TAX: the amounts go
// into their boxes as if typed (a bad one is warned about as a typed one
// is), the status is selected.
void TOstrelF::applyFragment(const std::string &fragment)
{
    cli::CsvRecord record;
    std::size_t consumed = 0;
    cli::readCsvRecord(fragment, true, consumed, record);
    const std::vector<std::string> &parts = record.fields;
    const bool whole = record.problem.empty() && consumed == fragment.size() && parts.size() == 3;
    const std::optional<std::int32_t> status = whole ? cli::parseFilingStatus(parts[0]) : std::nullopt;
    if (!status) {
        desktop().warn("The link's figures are not STATUS,AGI,PROPERTY_TAX (status 0-3, single, married, "
                       "separately or household): " + fragment);
        desktop().beep();
        return;
    }
    fromLink_ = true;
    writeInput(Input::Agi, parts[1]);
    writeInput(Input::PropertyTax, parts[2]);
    setStatusIndex(*status);
}

void TOstrelF::openLink(const std::string &fragment)
{
    if (!fragment.empty() && !closed_)
        guarded([&] { applyFragment(fragment); });
}

void TOstrelF::changed(Input input)
{
    guarded([&] { input == Input::Agi ? Edit1Change() : Edit2Change(); });
}

void TOstrelF::boxChanged(int box)
{
    userChanged();
    changed(box == 0 ? Input::Agi : Input::PropertyTax);
}

void TOstrelF::statusChosen()
{
    userChanged();
    guarded([&] { RadioStatusClick(); });
}

void TOstrelF::command(Command which)
{
    guarded([&] {
        switch (which) {
        case Command::Exit: Exit1Click(); break;
        case Command::Help: Help1Click(); break;
        case Command::HomePage: KaldoHomePage1Click(); break;
        }
    });
}

void TOstrelF::pageHidden()
{
    if (!closed_ && loaded() && !fromLink_)
        guarded([&] { writecfg(); });
}

std::string TOstrelF::exportSettings()
{
    std::string text;
    guarded([&] {
        if (!closed_)
            writecfg();
        fromLink_ = false;
        text = storedText(storageKey()).value_or("");
    });
    return text;
}

void TOstrelF::importSettings(const std::string &bytes)
{
    guarded([&] {
        SettingsReader check(bytes);
        check.readInteger();
        check.readInteger();
        Extended real = 0;
        check.readReal(real);
        check.readReal(real);
        check.readInteger();
        storeText(storageKey(), bytes);
        fromLink_ = false;
        readcfg();
    });
}

// ---------------------------------------------------------------- the controls

std::string TOstrelF::inputText(Input input) const
{
    return dom::boxText(boxName(input));
}

void TOstrelF::writeInput(Input input, const std::string &text)
{
    if (dom::boxText(boxName(input)) == text)
        return;
    dom::setBoxText(boxName(input), text);
    changed(input);
}

void TOstrelF::writeResult(std::size_t row, const std::string &text)
{
    dom::setBoxText(kResultBoxes[row], text);
}

int TOstrelF::statusIndex() const
{
    return dom::statusIndex();
}

void TOstrelF::setStatusIndex(int index)
{
    if (dom::statusIndex() == index)
        return;
    dom::setStatusIndex(index);
    if (index >= 0)
        guarded([&] { RadioStatusClick(); });
}

void TOstrelF::focusStatusItem(int index)
{
    dom::focusStatusItem(index);
}

// ---------------------------------------------------------------- the frame

void TOstrelF::placeFrame(ScreenPoint position)
{
    dom::placeFrame(position);
}

std::optional<ScreenPoint> TOstrelF::framePosition() const
{
    return dom::framePosition();
}

ScreenSize TOstrelF::frameSize() const
{
    return dom::frameSize();
}

// A page cannot close its tab: the settings are stored and the window goes,
// with a way to open it again.
void TOstrelF::requestClose()
{
    if (closed_)
        return;
    closing(false);
    closed_ = true;
    dom::closeWindow();
}

void TOstrelF::showHelp()
{
    help_.showInFront();
}

} // namespace cttax::web
