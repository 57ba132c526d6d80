// SPDX-License-Identifier: MIT
#include "cli/csv.h"

namespace cttax::cli {

namespace {

// Finds the end of the line that contains data[from], for recovering from a
// malformed record: returns the index just past its LF, or data.size().
std::size_t pastLineEnd(std::string_view data, std::size_t from)
{
    const std::size_t lf = data.find('\n', from);
    return lf == std::string_view::npos ? data.size() : lf + 1;
}

} // namespace

CsvStatus readCsvRecord(std::string_view data, bool atEof, std::size_t &consumed, CsvRecord &record)
{
    record.fields.clear();
    record.empty = false;
    record.problem.clear();
    record.lineBreaks = 0;
    if (data.empty())
        return atEof ? CsvStatus::End : CsvStatus::NeedMore;

    std::size_t p = 0;
    const auto malformed = [&](const char *why) {
        record.problem = why;
        if (!atEof && data.find('\n', p) == std::string_view::npos)
            return CsvStatus::NeedMore;
        consumed = pastLineEnd(data, p);
        ++record.lineBreaks;
        return CsvStatus::Record;
    };

    for (;;) {
        std::string &field = record.fields.emplace_back();
        if (p < data.size() && data[p] == '"') {
            ++p;
            for (;;) {
                const std::size_t quote = data.find('"', p);
                if (quote == std::string_view::npos) {
                    if (!atEof)
                        return CsvStatus::NeedMore;
                    for (char c : data.substr(p))
                        record.lineBreaks += c == '\n';
                    record.problem = "unterminated quoted field";
                    consumed = data.size();
                    return CsvStatus::Record;
                }
                for (char c : data.substr(p, quote - p))
                    record.lineBreaks += c == '\n';
                field.append(data.substr(p, quote - p));
                p = quote + 1;
                if (p == data.size() && !atEof)
                    return CsvStatus::NeedMore; // a doubled quote may follow
                if (p < data.size() && data[p] == '"') {
                    field += '"';
                    ++p;
                    continue;
                }
                break;
            }
            if (p == data.size()) {
                consumed = p;
                return CsvStatus::Record;
            }
            if (data[p] == ',') {
                ++p;
                continue;
            }
            if (data[p] == '\n' || (data[p] == '\r' && p + 1 < data.size() && data[p + 1] == '\n')) {
                consumed = p + (data[p] == '\r' ? 2 : 1);
                ++record.lineBreaks;
                return CsvStatus::Record;
            }
            if (data[p] == '\r' && p + 1 == data.size()) {
                if (!atEof)
                    return CsvStatus::NeedMore;
                consumed = data.size(); // a final CR ends the last line
                return CsvStatus::Record;
            }
            return malformed("unexpected character after a closing quote");
        }

        std::size_t end = p;
        while (end < data.size() && data[end] != ',' && data[end] != '\n')
            ++end;
        if (end == data.size()) {
            if (!atEof)
                return CsvStatus::NeedMore;
            // The last line, without LF; a final CR still ends it.
            std::size_t fieldEnd = end;
            if (fieldEnd > p && data[fieldEnd - 1] == '\r')
                --fieldEnd;
            field.assign(data.substr(p, fieldEnd - p));
            consumed = data.size();
            record.empty = record.fields.size() == 1 && fieldEnd == 0;
            return CsvStatus::Record;
        }
        if (data[end] == ',') {
            field.assign(data.substr(p, end - p));
            p = end + 1;
            continue;
        }
        std::size_t fieldEnd = end;
        if (fieldEnd > p && data[fieldEnd - 1] == '\r')
            --fieldEnd;
        field.assign(data.substr(p, fieldEnd - p));
        consumed = end + 1;
        ++record.lineBreaks;
        record.empty = record.fields.size() == 1 && fieldEnd == 0;
        return CsvStatus::Record;
    }
}

void appendCsvField(std::string &out, std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(field);
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace cttax::cli
