// SPDX-License-Identifier: MIT
#pragma once

#include "engine/tax_state.h"
#include "text/decimal.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cttax::cli {

struct BatchOptions {
    bool header = false; // print the header line first
    bool raw = false;    // append the seven unrounded values in %La form
};

// The header line, without its line break.
std::string batchHeader(const BatchOptions &options);

// "0".."3" or a status name in any case; blanks around it are ignored.
std::optional<std::int32_t> parseFilingStatus(std::string_view text);

// One shown result in a buffer of its own: a batch makes six of them per
// line, millions of times over, and never needs the heap for them.
struct ResultText {
    char data[kFormatDecimalMax + 1];
    std::size_t size = 0;
    std::string_view view() const { return {data, size}; }
};

// The full computation of one case, as the window would show it: each of the
// six texts (empty where not computed), the note, and the raw values.
struct CaseResult {
    ResultText texts[6];
    std::string note;
    std::string raw[7];

    // Empties every field and keeps the storage.
    void clear();
};
// Fills `result` afresh (its storage is reused from call to call).
void computeCase(std::int32_t status, std::string_view agiText, std::string_view propertyTaxText, bool raw,
                 CaseResult &result);

// The longest record taken, not counting its line end (LF, CR LF, or none
// at the end of the input): a longer one is a bad line, skipped up to its
// real end (the first LF outside quotes). Time stays linear in the input
// and memory bounded.
inline constexpr std::size_t kMaxRecordBytes = 64 * 1024;

// Turns CSV input (STATUS,AGI,PROPERTY_TAX per record) into output lines as
// it goes. Feed it bytes in any pieces; call finish() at the end. A UTF-8
// byte-order mark before the first record is skipped.
class BatchCalculator {
public:
    explicit BatchCalculator(BatchOptions options);

    // Appends to `out` the lines of every record that is complete, and to
    // `errors` a message for each malformed one.
    void feed(std::string_view bytes, std::string &out, std::string &errors);
    void finish(std::string &out, std::string &errors);

    bool sawBadLine() const { return sawBadLine_; }

private:
    void drain(bool atEof, std::string &out, std::string &errors);
    void writeLine(std::string &out);
    void badLine(long long lineNumber, const std::string &why, std::string &errors);
    std::size_t skipRecord(std::string_view bytes);

    BatchOptions options_;
    std::string pending_;
    CaseResult result_;
    long long line_ = 1;
    bool sawBadLine_ = false;
    bool atStart_ = true;     // a byte-order mark may still come
    bool skipping_ = false;   // inside an overlong record, up to its end
    bool skipInQuotes_ = false; // ...and inside a quoted field of it
    std::size_t scanned_ = 0; // pending_ holds no LF before this index
};

} // namespace cttax::cli
