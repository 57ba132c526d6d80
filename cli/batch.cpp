// SPDX-License-Identifier: MIT
#include "cli/batch.h"

#include "cli/csv.h"
#include "engine/calculate.h"
#include "engine/fpenv.h"
#include "text/decimal.h"
#include "text/present.h"

#include <array>
#include <cstdio>

namespace cttax::cli {

namespace {

void addNote(std::string &note, std::string_view text)
{
    if (!note.empty())
        note += "; ";
    note += text;
}

std::string hexFloat(Extended value)
{
    // The batch calculator never sets a locale, so %La writes the C form.
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, "%La", value);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// Converts one input text into its field the way an input box does; returns
// false when the conversion itself raised.
bool convertInput(std::string_view text, Extended &target, const char *warning, std::string &note)
{
    try {
        const ParsedDecimal parsed = parseDecimal(text);
        target = parsed.value;
        if (parsed.errorPos != 0)
            addNote(note, warning);
        return true;
    } catch (const FloatError &e) {
        addNote(note, e.what());
        return false;
    }
}

} // namespace

std::string batchHeader(const BatchOptions &options)
{
    std::string header = "EXEMPTION,TABLE_B_TAX,CREDIT_DECIMAL,PERSONAL_CREDIT,PROPERTY_CREDIT,INCOME_TAX,NOTE";
    if (options.raw)
        header += ",RAW_EXEMPTION,RAW_TAXABLE_INCOME,RAW_TABLE_B_TAX,RAW_CREDIT_DECIMAL,RAW_PERSONAL_CREDIT,"
                  "RAW_PROPERTY_CREDIT,RAW_INCOME_TAX";
    return header;
}

std::optional<std::int32_t> parseFilingStatus(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    static constexpr std::array<std::string_view, 4> kNames = {"single", "married", "separately", "household"};
    for (std::int32_t status = 0; status < kFilingStatusCount; ++status) {
        if (text.size() == 1 && text[0] == '0' + status)
            return status;
        const std::string_view name = kNames[static_cast<std::size_t>(status)];
        if (text.size() != name.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) {
            const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
            same = c == name[i];
        }
        if (same)
            return status;
    }
    return std::nullopt;
}

void CaseResult::clear()
{
    for (ResultText &text : texts)
        text.size = 0;
    note.clear();
    for (std::string &text : raw)
        text.clear();
}

void computeCase(std::int32_t status, std::string_view agiText, std::string_view propertyTaxText, bool raw,
                 CaseResult &result)
{
    result.clear();
    TaxState state; // a fresh run from the window's initial state
    state.filingStatus = status;
    const bool agiOk = convertInput(agiText, state.agi, kAgiWarning, result.note);
    const bool propertyOk = convertInput(propertyTaxText, state.propertyTaxPaid, kPropertyTaxWarning, result.note);
    if (!agiOk || !propertyOk)
        return;

    CalculationTrace trace;
    bool computed = true;
    try {
        calculate(state, &trace);
    } catch (const FloatError &e) {
        addNote(result.note, e.what());
        computed = false;
    }
    if (raw) {
        // Step by which each raw column is computed: 2, 3, 4, 5, 6, 1, 7.
        const std::array<std::pair<int, Extended>, 7> columns = {{
            {2, state.exemption},
            {3, trace.taxableIncome},
            {4, state.tableBTax},
            {5, state.creditDecimal},
            {6, state.personalCredit},
            {1, state.propertyCredit},
            {7, state.incomeTax},
        }};
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (trace.completedSteps >= columns[i].first)
                result.raw[i] = hexFloat(columns[i].second);
    }
    if (!computed)
        return;

    for (std::size_t i = 0; i < kPresentedResults.size(); ++i) {
        const PresentedResult &row = kPresentedResults[i];
        try {
            result.texts[i].size = presentResultTo(result.texts[i].data, state.*row.field, row.digit, ".");
        } catch (const FloatError &e) {
            addNote(result.note, e.what());
            break;
        }
    }
}

BatchCalculator::BatchCalculator(BatchOptions options) : options_(options) {}

void BatchCalculator::feed(std::string_view bytes, std::string &out, std::string &errors)
{
    pending_.append(bytes);
    drain(false, out, errors);
}

void BatchCalculator::finish(std::string &out, std::string &errors)
{
    drain(true, out, errors);
}

void BatchCalculator::drain(bool atEof, std::string &out, std::string &errors)
{
    CsvRecord record;
    std::size_t offset = 0;
    for (;;) {
        std::size_t consumed = 0;
        const CsvStatus status =
            readCsvRecord(std::string_view(pending_).substr(offset), atEof, consumed, record);
        if (status != CsvStatus::Record)
            break;
        offset += consumed;
        const long long lineNumber = line_;
        line_ += record.lineBreaks;
        if (record.empty) {
            out += '\n';
            continue;
        }

        std::string problem;
        std::optional<std::int32_t> filingStatus;
        if (!record.problem.empty())
            problem = "malformed CSV: " + record.problem;
        else if (record.fields.size() != 3)
            problem = "expected 3 fields STATUS,AGI,PROPERTY_TAX but found " + std::to_string(record.fields.size());
        else if (!(filingStatus = parseFilingStatus(record.fields[0])))
            problem = "unknown filing status (use 0-3, single, married, separately or household)";

        CaseResult &result = result_;
        if (!problem.empty()) {
            result.clear();
            problem = "line " + std::to_string(lineNumber) + ": " + problem;
            errors += "cttax-calc: " + problem + '\n';
            result.note = problem;
            sawBadLine_ = true;
        } else {
            computeCase(*filingStatus, record.fields[1], record.fields[2], options_.raw, result);
        }
        for (const ResultText &text : result.texts) {
            out += text.view();
            out += ',';
        }
        appendCsvField(out, result.note);
        if (options_.raw) {
            for (const std::string &text : result.raw) {
                out += ',';
                out += text;
            }
        }
        out += '\n';
    }
    pending_.erase(0, offset);
}

} // namespace cttax::cli
