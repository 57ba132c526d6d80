// SPDX-License-Identifier: MIT
#include "cli/batch.h"
#include "cli/csv.h"
#include "tests/support/hex.h"

#include <gtest/gtest.h>

using namespace cttax::cli;

namespace {

struct BatchRun {
    std::string out, errors;
    bool bad;
};

// Feeds the input in pieces of `piece` bytes, so records cross every boundary.
BatchRun runBatch(std::string_view input, BatchOptions options = {}, std::size_t piece = 0)
{
    BatchCalculator calculator(options);
    BatchRun r;
    if (piece == 0)
        piece = input.size() + 1;
    for (std::size_t i = 0; i < input.size(); i += piece)
        calculator.feed(input.substr(i, piece), r.out, r.errors);
    calculator.finish(r.out, r.errors);
    r.bad = calculator.sawBadLine();
    return r;
}

struct BatchCase {
    const char *name;
    std::string_view input;
    std::string_view output;
    bool bad;
};

void PrintTo(const BatchCase &c, std::ostream *os)
{
    *os << c.name;
}

class Batch : public testing::TestWithParam<BatchCase> {};

TEST_P(Batch, Lines)
{
    const BatchCase &c = GetParam();
    for (std::size_t piece : {std::size_t{0}, std::size_t{1}, std::size_t{3}}) {
        const BatchRun r = runBatch(c.input, {}, piece);
        EXPECT_EQ(r.out, c.output) << "piece " << piece;
        EXPECT_EQ(r.bad, c.bad);
        EXPECT_EQ(r.errors.empty(), !c.bad);
    }
}

INSTANTIATE_TEST_SUITE_P(Contract, Batch, testing::Values(
    BatchCase{"worked example", "single,16300,0\n", "13000,99,0.75,74,0,25,\n", false},
    BatchCase{"names in any case and digits", "MARRIED,60000,1200\n1,60000,1200\n",
              "12000,2000,0.1,200,500,1300,\n12000,2000,0.1,200,500,1300,\n", false},
    BatchCase{"last line without break and CRLF", "2,30000,300\r\n3,40000,0",
              "6000,1000,0.1,100,300,600,\n17000,830,0.15,124,0,706,\n", false},
    BatchCase{"empty line stays empty", "0,16300,0\n\n\r\n0,16300,0\n",
              "13000,99,0.75,74,0,25,\n\n\n13000,99,0.75,74,0,25,\n", false},
    BatchCase{"quoted fields with doubled quote and comma", "\"0\",\"16300\",\"0\"\n",
              "13000,99,0.75,74,0,25,\n", false},
    BatchCase{"texts are verbatim: trailing blank warns", "0,16300 ,0\n",
              "13000,99,0.75,74,0,25,Error in CT AGI entry.\n", false},
    BatchCase{"quoted thousands separator warns with value 1", "0,\"1,234\",\"x\"\n",
              "13000,0,0,0,0,0,Error in CT AGI entry.; Error in CT PROPERTY TAX entry.\n", false},
    BatchCase{"display failure empties the failing field and later", "1,1e21,0\n",
              "0,,,,,,Invalid floating point operation\n", false},
    BatchCase{"computation failure empties all six", "0,1e9999,0\n",
              ",,,,,,Invalid floating point operation\n", false},
    BatchCase{"conversion overflow empties all six", "0,9e4932,0\n", ",,,,,,Floating point overflow\n", false},
    BatchCase{"unknown status", "7,1,1\n0,16300,0\n",
              ",,,,,,\"line 1: unknown filing status (use 0-3, single, married, separately or household)\"\n"
              "13000,99,0.75,74,0,25,\n", true},
    BatchCase{"wrong field count keeps line numbers across quoted breaks", "0,\"1\n2\",3\n0,1\n",
              "13000,0,0,0,3,0,Error in CT AGI entry.\n"
              ",,,,,,\"line 3: expected 3 fields STATUS,AGI,PROPERTY_TAX but found 2\"\n", true},
    BatchCase{"junk after closing quote", "0,\"1\"x,2\n0,16300,0\n",
              ",,,,,,line 1: malformed CSV: unexpected character after a closing quote\n"
              "13000,99,0.75,74,0,25,\n", true},
    BatchCase{"unterminated quote at end", "0,\"16300,0\n",
              ",,,,,,line 1: malformed CSV: unterminated quoted field\n", true},
    BatchCase{"byte-order mark before line 1 is skipped", "\xEF\xBB\xBFsingle,16300,0\n",
              "13000,99,0.75,74,0,25,\n", false},
    BatchCase{"byte-order mark alone", "\xEF\xBB\xBF", "", false},
    BatchCase{"byte-order mark later is text", "0,16300,0\n\xEF\xBB\xBFsingle,16300,0\n",
              "13000,99,0.75,74,0,25,\n"
              ",,,,,,\"line 2: unknown filing status (use 0-3, single, married, separately or household)\"\n", true},
    BatchCase{"final lone CR ends the last line", "0,16300,0\r\n0,16300,0\r",
              "13000,99,0.75,74,0,25,\n13000,99,0.75,74,0,25,\n", false},
    BatchCase{"final lone CR after a quoted field", "0,16300,\"0\"\r", "13000,99,0.75,74,0,25,\n", false}),
    CaseName());

TEST(Batch, RawColumnsAreLaTextAndEmptyWhereNotComputed)
{
    const BatchRun r = runBatch("0,16300,0\n0,1e9999,0\n", {false, true});
    EXPECT_EQ(r.out, "13000,99,0.75,74,0,25,,0xc.b2p+10,0xc.e4p+8,0xc.6p+3,0xcp-4,0x9.48p+3,0x0p+0,0xc.6p+1\n"
                     ",,,,,,Invalid floating point operation,0x0p+0,inf,inf,0x0p+0,,0x0p+0,\n");
    EXPECT_EQ(batchHeader({true, false}),
              "EXEMPTION,TABLE_B_TAX,CREDIT_DECIMAL,PERSONAL_CREDIT,PROPERTY_CREDIT,INCOME_TAX,NOTE");
}

TEST(Batch, ArbitraryBytesPassThroughWithoutHarm)
{
    std::string input;
    for (int i = 0; i < 256; ++i)
        input += static_cast<char>(i);
    input += "\n\"\"\"\n,,,,\n";
    const BatchRun r = runBatch(input, {}, 7);
    EXPECT_TRUE(r.bad);
}

// A line over the limit is one bad line, whatever pieces it arrives in, and
// the lines after it are computed with their own numbers.
TEST(Batch, OverlongLinesAreBadLinesAndTheNextLineCounts)
{
    const std::string limit = std::to_string(kMaxRecordBytes);
    const std::string good = "0,16300,0\n";
    const std::string goodOut = "13000,99,0.75,74,0,25,\n";
    const std::string atLimit = "0,16300,0" + std::string(kMaxRecordBytes - 9, ' ');
    const std::string limitOut = "13000,99,0.75,74,0,25,Error in CT PROPERTY TAX entry.\n";
    const struct {
        const char *name;
        std::string input;
        std::string output;
    } cases[] = {
        {"just below the limit", "0,16300,0" + std::string(kMaxRecordBytes - 11, ' ') + "\n" + good,
         "13000,99,0.75,74,0,25,Error in CT PROPERTY TAX entry.\n" + goodOut},
        {"unterminated and long", std::string(kMaxRecordBytes * 3, 'x'),
         ",,,,,,line 1: longer than " + limit + " bytes\n"},
        {"commas", std::string(kMaxRecordBytes * 4, ',') + "\n" + good,
         ",,,,,,line 1: longer than " + limit + " bytes\n" + goodOut},
        {"quoted with line breaks", good + "0,\"" + std::string(kMaxRecordBytes, '\n') + "\",0\n7,1,1\n",
         // Skipped to the record's real end, past the quoted line breaks.
         goodOut + ",,,,,,line 2: longer than " + limit + " bytes\n" +
             ",,,,,,\"line 65539: unknown filing status (use 0-3, single, married, separately or household)\"\n"},
        {"quoted and long, then good records", "single,\"" + std::string(70000, '1') + "\n\",0\n" + good + good,
         ",,,,,,line 1: longer than " + limit + " bytes\n" + goodOut + goodOut},
        // One limit, whatever ends the line: the record's bytes before its line end.
        {"exactly the limit, LF", atLimit + "\n" + good, limitOut + goodOut},
        {"exactly the limit, CR LF", atLimit + "\r\n" + good, limitOut + goodOut},
        {"exactly the limit, end of input", atLimit, limitOut},
        {"exactly the limit, final CR", atLimit + "\r", limitOut},
        {"one over, LF", atLimit + " \n" + good, ",,,,,,line 1: longer than " + limit + " bytes\n" + goodOut},
        {"one over, CR LF", atLimit + " \r\n" + good, ",,,,,,line 1: longer than " + limit + " bytes\n" + goodOut},
        {"one over, end of input", atLimit + " ", ",,,,,,line 1: longer than " + limit + " bytes\n"},
    };
    for (const auto &c : cases) {
        for (std::size_t piece : {std::size_t{0}, std::size_t{1000}, std::size_t{65536}, std::size_t{7}}) {
            const BatchRun r = runBatch(c.input, {}, piece);
            EXPECT_EQ(r.out, c.output) << c.name << ", pieces of " << piece;
        }
    }
}

TEST(Csv, FieldsAreQuotedOnlyWhenNeeded)
{
    std::string out;
    appendCsvField(out, "plain");
    out += ',';
    appendCsvField(out, "a,b \"c\"\nd");
    EXPECT_EQ(out, "plain,\"a,b \"\"c\"\"\nd\"");
}

} // namespace
