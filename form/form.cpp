// SPDX-License-Identifier: MIT
#include "form/form.h"

#include "engine/calculate.h"
#include "text/decimal.h"
#include "text/present.h"
#include "form/help_text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace cttax {

std::string errorReportText(const std::string &message)
{
    std::string text = message;
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text.push_back('.');
    return text;
}

std::string accessibleNameOf(const std::string &caption)
{
    std::string name = caption;
    while (!name.empty() && (name.back() == '.' || name.back() == '$' || name.back() == ' '))
        name.pop_back();
    return name;
}

std::string displayPath(const SettingsPath &path)
{
#ifdef _WIN32
    return path.u8string();
#else
    return path.string(); // the bytes as they are; UTF-8 on any usual desktop
#endif
}

std::string withDecimalPoint(std::string text, const std::string &separator)
{
    // One character: one byte, or one UTF-8 sequence.
    const auto lead = separator.empty() ? 0u : static_cast<unsigned char>(separator[0]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (separator.empty() || separator == "." || separator.size() != length)
        return text;
    std::string read;
    read.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (text.compare(at, separator.size(), separator) == 0) {
            read.push_back('.');
            at += separator.size();
        } else {
            read.push_back(text[at++]);
        }
    }
    return read;
}

MainForm::MainForm(FormControls &controls, FormFrame &frame, FormDesktop &desktop, std::string title,
                   SettingsLocation settings)
    : controls_(controls), frame_(frame), desktop_(desktop), title_(std::move(title)), settings_(std::move(settings))
{
}

void MainForm::reportException(const std::exception &error) noexcept
{
    try {
        std::string text = errorReportText(error.what());
        // A file error names the file on a line of its own, so it can be found.
        if (dynamic_cast<const EInOutError *>(&error) != nullptr)
            text.append(1, '\n').append(displayPath(settings_.file));
        desktop_.reportError(title_, text);
    } catch (...) {
        // Nothing is left to report with; the application goes on.
    }
}

// ---------------------------------------------------------------- handlers

void MainForm::FormCreate()
{
    state_.agi = 0;
    state_.propertyTaxPaid = 0;
    state_.filingStatus = Single;
    handledAgi_.reset();
    handledPropertyTax_.reset();
}

void MainForm::FormShow()
{
    try {
        readcfg();
    } catch (...) {
        emptyUnpresentedResults(); // a load that stopped before any calculation
        throw;
    }
}

void MainForm::FormClose()
{
    writecfg();
}

void MainForm::loadOnce()
{
    if (loaded_)
        return;
    loaded_ = true;
    guarded([this] { FormShow(); });
}

void MainForm::focusFirst()
{
    controls_.focusStatusItem(std::max(0, controls_.statusIndex()));
}

void MainForm::closing(bool sessionEnds)
{
    if (sessionEnds)
        saveAtSessionEnd();
    else
        guarded([this] { FormClose(); });
}

void MainForm::saveAtSessionEnd() noexcept
{
    try {
        FormClose();
    } catch (const std::exception &error) {
        std::string text = errorReportText(error.what());
        if (dynamic_cast<const EInOutError *>(&error) != nullptr)
            text.append(" (").append(displayPath(settings_.file)).append(")");
        std::fprintf(stderr, "%s: %s\n", title_.c_str(), text.c_str());
    } catch (...) {
        std::fprintf(stderr, "%s: Unknown error\n", title_.c_str());
    }
}

void MainForm::inputChanged(FormControls::Input box, Extended &target, const char *warning)
{
    std::string text = controls_.inputText(box);
    std::optional<std::string> &handled = box == FormControls::Input::Agi ? handledAgi_ : handledPropertyTax_;
    if (handled == text)
        return; // nothing changed: no second warning, no second beep
    handled = text;
    // The boxes take the locale's decimal symbol as well as ".".
    const ParsedDecimal parsed = parseDecimal(withDecimalPoint(std::move(text), decimalSymbol_));
    target = parsed.value;
    if (parsed.errorPos != 0) {
        desktop_.warn(warning);
        desktop_.beep();
    }
    calculate();
}

void MainForm::Edit1Change()
{
    inputChanged(FormControls::Input::Agi, state_.agi, kAgiWarning);
}

void MainForm::Edit2Change()
{
    inputChanged(FormControls::Input::PropertyTax, state_.propertyTaxPaid, kPropertyTaxWarning);
}

void MainForm::setDecimalSymbol(std::string symbol)
{
    decimalSymbol_ = symbol.empty() ? std::string(".") : std::move(symbol);
}

void MainForm::RadioStatusClick()
{
    state_.filingStatus = controls_.statusIndex();
    calculate();
}

void MainForm::calculate()
{
    try {
        cttax::calculate(state_);
        for (std::size_t i = 0; i < kPresentedResults.size(); ++i) {
            const PresentedResult &row = kPresentedResults[i];
            controls_.writeResult(i, presentResult(state_.*row.field, row.digit, decimalSymbol_));
            presented_[i] = true;
        }
    } catch (...) {
        emptyUnpresentedResults();
        throw;
    }
}

// A box keeps what an earlier calculation gave it; one that was never given
// a result shows none, not the layout's placeholder.
void MainForm::emptyUnpresentedResults()
{
    for (std::size_t i = 0; i < presented_.size(); ++i)
        if (!presented_[i])
            controls_.writeResult(i, "");
}

void MainForm::Exit1Click()
{
    frame_.requestClose();
}

void MainForm::Help1Click()
{
    frame_.showHelp();
}

void MainForm::KaldoHomePage1Click()
{
    desktop_.openUrl(kHomePage);
}

// ---------------------------------------------------------------- settings

void MainForm::readcfg()
{
    if (isSettingsFile(settings_.file)) {
        SettingsReader reader(settings_.file);
        loadTop_ = reader.readInteger();
        loadLeft_ = reader.readInteger();
        reader.readReal(state_.agi);
        reader.readReal(state_.propertyTaxPaid);
        controls_.setStatusIndex(std::clamp(reader.readInteger(), -1, 3)); // any stored number: an item or none
        reader.close();
    }
    placedAt_ = onSomeScreen({loadLeft_, loadTop_}, frame_.frameSize(), desktop_.screenAreas());
    frame_.placeFrame(*placedAt_);
    controls_.writeInput(FormControls::Input::Agi, formatDecimal(state_.agi, decimalSymbol_));
    controls_.writeInput(FormControls::Input::PropertyTax, formatDecimal(state_.propertyTaxPaid, decimalSymbol_));
    controls_.setStatusIndex(state_.filingStatus);
}

void MainForm::writecfg()
{
    SettingsValues values;
    // Where the display keeps the position from us, the loaded one is
    // saved again rather than a made-up one.
    std::optional<ScreenPoint> at = frame_.framePosition();
    // Under a fractional scale the frame comes back a pixel off the place it
    // was put at (the client area and the frame are each rounded to the
    // desktop's pixels): a window not moved keeps the place it was given,
    // so the stored position does not creep from run to run.
    if (at && placedAt_ && std::abs(at->x - placedAt_->x) <= 1 && std::abs(at->y - placedAt_->y) <= 1)
        at = placedAt_;
    values.top = at ? at->y : loadTop_;
    values.left = at ? at->x : loadLeft_;
    values.agi = state_.agi;
    values.propertyTaxPaid = state_.propertyTaxPaid;
    values.status = controls_.statusIndex();
    prepareSettingsFolder(settings_);
    writeSettingsFile(settings_.file, values);
}

std::string applicationTitleFor(std::string_view executablePath, bool backslashSeparates,
                                const std::function<std::string(std::string_view)> &lower)
{
    std::string_view name = executablePath;
    if (const std::size_t slash = name.find_last_of(backslashSeparates ? "/\\" : "/"); slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    name = name.substr(0, name.find('.'));
    if (name.empty())
        return {};
    // The first character whole, however many bytes its UTF-8 takes.
    std::size_t first = 1;
    while (first < name.size() && (static_cast<unsigned char>(name[first]) & 0xC0) == 0x80)
        ++first;
    return std::string(name.substr(0, first)) + lower(name.substr(first));
}

} // namespace cttax
