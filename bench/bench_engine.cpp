// SPDX-License-Identifier: MIT
#include "engine/calculate.h"
#include "engine/fpenv.h"
#include "text/decimal.h"
#include "text/present.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace cttax;

namespace {

const std::vector<std::string> kTexts = {"16300", "60000", "1234.56", "45000.5", "0", "26000.01",
                                         "1e3", "499.99", "100500.01", "37999.99"};

void BM_Calculate(benchmark::State &state)
{
    TaxState tax;
    tax.agi = 45000;
    tax.propertyTaxPaid = 500;
    tax.filingStatus = Household;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tax.agi);
        calculate(tax);
        benchmark::DoNotOptimize(tax.incomeTax);
    }
}
BENCHMARK(BM_Calculate);

// What one keystroke costs without the widgets: the box's text converted,
// the computation, and the six result texts.
void BM_Keystroke(benchmark::State &state)
{
    TaxState tax;
    std::size_t i = 0;
    for (auto _ : state) {
        tax.agi = parseDecimal(kTexts[i++ % kTexts.size()]).value;
        calculate(tax);
        for (const PresentedResult &row : kPresentedResults)
            benchmark::DoNotOptimize(presentResult(tax.*row.field, row.digit, "."));
    }
}
BENCHMARK(BM_Keystroke);

void BM_ParseDecimal(benchmark::State &state)
{
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(parseDecimal(kTexts[i++ % kTexts.size()]));
}
BENCHMARK(BM_ParseDecimal);

void BM_Strtold(benchmark::State &state)
{
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(std::strtold(kTexts[i++ % kTexts.size()].c_str(), nullptr));
}
BENCHMARK(BM_Strtold);

const std::vector<Extended> kValues = {13000, parseDecimal("99.0003").value, parseDecimal("0.70").value,
                                       parseDecimal("69.30021").value, parseDecimal("1234.56").value,
                                       cttax::div(1, 3), parseDecimal("657.1").value, parseDecimal("1e-7").value};
// The same values for the C library's own conversion.
const std::vector<long double> kLibcValues = {13000, 99.0003L, 0.70L, 69.30021L, 1234.56L, 1.0L / 3, 657.1L, 1e-7L};

void BM_FormatDecimal(benchmark::State &state)
{
    char buffer[64];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatDecimalTo(buffer, kValues[i++ % kValues.size()], "."));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FormatDecimal);

void BM_Snprintf15Lg(benchmark::State &state)
{
    char buffer[64];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%.15Lg", kLibcValues[i++ % kLibcValues.size()]));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Snprintf15Lg);

} // namespace

int main(int argc, char **argv)
{
    setUpFloatingPoint();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
