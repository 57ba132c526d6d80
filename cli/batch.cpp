// SPDX-License-Identifier: MIT
#include "cli/batch.h"

#include "cli/csv.h"
#include "engine/calculate.h"
#include "engine/fpenv.h"
#include "text/decimal.h"
#include "text/hexfloat.h"
#include "text/present.h"

#include <algorithm>
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
                result.raw[i] = formatHexFloat(columns[i].second);
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
    if (skipping_) {
        const std::size_t end = skipRecord(bytes);
        if (end == std::string_view::npos)
            return;
        bytes.remove_prefix(end);
    }
    pending_.append(bytes);
    drain(false, out, errors);
}

// Passes over the rest of an overlong record: up to the first LF outside
// quotes (a quote opens or closes a quoted field; "" inside one does both).
std::size_t BatchCalculator::skipRecord(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '"') {
            skipInQuotes_ = !skipInQuotes_;
        } else if (bytes[i] == '\n') {
            ++line_;
            if (!skipInQuotes_) {
                skipping_ = false;
                return i + 1;
            }
        }
    }
    skipping_ = true;
    return std::string_view::npos;
}

void BatchCalculator::finish(std::string &out, std::string &errors)
{
    if (!skipping_)
        drain(true, out, errors);
    pending_.clear();
}

void BatchCalculator::writeLine(std::string &out)
{
    for (const ResultText &text : result_.texts) {
        out += text.view();
        out += ',';
    }
    appendCsvField(out, result_.note);
    if (options_.raw) {
        for (const std::string &text : result_.raw) {
            out += ',';
            out += text;
        }
    }
    out += '\n';
}

void BatchCalculator::badLine(long long lineNumber, const std::string &why, std::string &errors)
{
    result_.clear();
    result_.note = "line " + std::to_string(lineNumber) + ": " + why;
    errors += "cttax-calc: " + result_.note + '\n';
    sawBadLine_ = true;
}

void BatchCalculator::drain(bool atEof, std::string &out, std::string &errors)
{
    static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (atStart_) {
        if (!atEof && pending_.size() < kByteOrderMark.size() && kByteOrderMark.substr(0, pending_.size()) == pending_)
            return;
        if (std::string_view(pending_).substr(0, kByteOrderMark.size()) == kByteOrderMark)
            pending_.erase(0, kByteOrderMark.size());
        atStart_ = false;
    }

    CsvRecord record;
    std::size_t offset = 0;
    for (;;) {
        const std::string_view rest = std::string_view(pending_).substr(offset);
        // A record is taken whole up to kMaxRecordBytes bytes before its line
        // end, whichever it is (LF, CR LF or the end of the input).
        const std::size_t window = std::min(rest.size(), kMaxRecordBytes + 2);
        const bool windowIsAll = rest.size() == window;
        // A record ends only at an LF or at the end of the input: no need to
        // read it again before one of them comes.
        if (!atEof && windowIsAll && pending_.find('\n', std::max(offset, scanned_)) == std::string::npos) {
            scanned_ = pending_.size();
            break;
        }
        std::size_t consumed = 0;
        const CsvStatus status = readCsvRecord(rest.substr(0, window), atEof && windowIsAll, consumed, record);
        if (status == CsvStatus::End)
            break;
        if (status == CsvStatus::NeedMore && windowIsAll) {
            scanned_ = pending_.size();
            break;
        }
        // The record's line end: LF, CR LF, or a final CR at the end of the input.
        std::size_t lineEnd = 0;
        if (status == CsvStatus::Record && consumed > 0) {
            const char last = rest[consumed - 1];
            if (last == '\n')
                lineEnd = consumed > 1 && rest[consumed - 2] == '\r' ? 2 : 1;
            else if (last == '\r' && consumed == rest.size())
                lineEnd = 1;
        }
        if (status == CsvStatus::NeedMore || consumed - lineEnd > kMaxRecordBytes) {
            // Overlong: answered at once, the rest of the record skipped.
            badLine(line_, "longer than " + std::to_string(kMaxRecordBytes) + " bytes", errors);
            writeLine(out);
            if (status == CsvStatus::Record) {
                line_ += record.lineBreaks;
                offset += consumed;
                continue;
            }
            skipInQuotes_ = false;
            const std::size_t end = skipRecord(rest);
            if (end == std::string_view::npos) {
                offset = pending_.size();
                skipping_ = !atEof;
                break;
            }
            offset += end;
            continue;
        }
        offset += consumed;
        const long long lineNumber = line_;
        line_ += record.lineBreaks;
        if (record.empty) {
            out += '\n';
            continue;
        }

        std::optional<std::int32_t> filingStatus;
        if (!record.problem.empty())
            badLine(lineNumber, "malformed CSV: " + record.problem, errors);
        else if (record.fields.size() != 3)
            badLine(lineNumber,
                    "expected 3 fields STATUS,AGI,PROPERTY_TAX but found " + std::to_string(record.fields.size()),
                    errors);
        else if (!(filingStatus = parseFilingStatus(record.fields[0])))
            badLine(lineNumber, "unknown filing status (use 0-3, single, married, separately or household)", errors);
        else
            computeCase(*filingStatus, record.fields[1], record.fields[2], options_.raw, result_);
        writeLine(out);
    }
    pending_.erase(0, offset);
    scanned_ = scanned_ > offset ? scanned_ - offset : 0;
}

} // namespace cttax::cli
