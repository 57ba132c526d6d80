// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cttax::cli {

// One record of RFC 4180 CSV. A field in double quotes may hold commas, line
// breaks and "" for a quote; a record ends at LF (a CR before it is dropped)
// outside quotes, or at the end of the input. Bytes pass through untouched.
struct CsvRecord {
    std::vector<std::string> fields;
    bool empty = false;     // the line held nothing at all
    std::string problem;    // why the record is malformed, or empty
    int lineBreaks = 0;     // line breaks the record spans, its own end included
};

enum class CsvStatus { Record, NeedMore, End };

// Reads the record that starts at data[0]. Record: `consumed` bytes make it
// up. NeedMore: the record may go on past the data (only when !atEof).
// End: no data is left. Never reads past data.size(), whatever the bytes.
CsvStatus readCsvRecord(std::string_view data, bool atEof, std::size_t &consumed, CsvRecord &record);

// Appends a field, quoted when it holds a comma, a quote, CR or LF.
void appendCsvField(std::string &out, std::string_view field);

} // namespace cttax::cli
