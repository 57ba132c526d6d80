// SPDX-License-Identifier: MIT
#include "cli/batch.h"
#include "engine/fpenv.h"
#include "text/present.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <unistd.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif

namespace {

constexpr const char *kUsage =
    "Usage: cttax-calc [--header] [--raw] [-] < cases.csv\n"
    "       cttax-calc [--header] [--raw] [--] cases.csv\n"
    "       cttax-calc [--] STATUS AGI PROPERTY_TAX\n"
    "       cttax-calc --version | --help\n"
    "\n"
    "Estimates the 2010 Connecticut resident income tax exactly as the cttax window does.\n"
    "\n"
    "Batch form: reads CSV lines STATUS,AGI,PROPERTY_TAX on standard input, or from the one file\n"
    "named (one argument that is not an option is always a file: a file dropped onto the program\n"
    "is read so), and writes one CSV line for each:\n"
    "EXEMPTION,TABLE_B_TAX,CREDIT_DECIMAL,PERSONAL_CREDIT,PROPERTY_CREDIT,INCOME_TAX,NOTE.\n"
    "  STATUS        0-3, or single, married, separately, household (any case)\n"
    "  AGI, PROPERTY_TAX  amounts with \".\" as the decimal point, taken verbatim as the\n"
    "                input boxes take them; a text that is not a number puts the window's\n"
    "                warning in NOTE and is computed with the value the conversion left\n"
    "  --header      print the header line first\n"
    "  --raw         append the unrounded exemption, taxable income, Table B tax, credit\n"
    "                decimal, personal credit, property credit and income tax in %La form\n"
    "An empty line gives an empty line; a UTF-8 byte-order mark before the first line is\n"
    "skipped. A line with the wrong number of fields or an unknown status, and a record of\n"
    "more than 65536 bytes before its line end (LF, CR LF or the end of the input; skipped\n"
    "up to its real end), is reported on standard error and in NOTE, and the exit status\n"
    "is then 1. \"-\" names standard input; \"--\" ends the options. A file that cannot be\n"
    "opened is reported and the exit status is 2.\n"
    "In cmd, write no blank before the pipe (echo single,16300,0| cttax-calc): the blank would\n"
    "be part of the line, and \"0 \" is warned about exactly as the window warns about it.\n"
    "\n"
    "Single form: prints the six results beside the window's captions. The exit status is 1\n"
    "when an amount is not a number or a result could not be computed, 2 for a bad call.\n"
    "\n"
    "In every form, output that cannot be written is reported on standard error and the\n"
    "exit status is then 1 (or the status the run had already, when that is not 0).\n";

// A descriptor left non-blocking by whoever made it (EAGAIN) is waited on;
// Windows' standard handles do not come non-blocking.
#ifdef _WIN32
bool waitFor(int, bool)
{
    return false;
}
#else
bool waitFor(int fd, bool forWriting)
{
    if (errno != EAGAIN && errno != EWOULDBLOCK)
        return false;
    pollfd wanted{fd, static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
    while (::poll(&wanted, 1, -1) < 0)
        if (errno != EINTR)
            return false;
    return true;
}
#endif

// Writes and empties `out`; says so on standard error when it cannot.
bool writeAll(std::string &out)
{
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, out.data() + done, out.size() - done);
        if (n < 0) {
            if (errno == EINTR || waitFor(STDOUT_FILENO, true))
                continue;
            std::fprintf(stderr, "cttax-calc: cannot write standard output: %s\n", std::strerror(errno));
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    out.clear();
    return true;
}

int runBatch(const cttax::cli::BatchOptions &options)
{
    cttax::cli::BatchCalculator calculator(options);
    std::string out;
    std::string errors;
    if (options.header)
        out = cttax::cli::batchHeader(options) + '\n';
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer.data(), buffer.size());
        if (n < 0 && (errno == EINTR || waitFor(STDIN_FILENO, false)))
            continue;
        if (n < 0) {
            std::fprintf(stderr, "cttax-calc: cannot read standard input: %s\n", std::strerror(errno));
            return 1;
        }
        if (n == 0)
            break;
        calculator.feed(std::string_view(buffer.data(), static_cast<std::size_t>(n)), out, errors);
        if (!errors.empty()) {
            std::fputs(errors.c_str(), stderr);
            errors.clear();
        }
        if (!writeAll(out))
            return 1;
    }
    calculator.finish(out, errors);
    std::fputs(errors.c_str(), stderr);
    if (!writeAll(out))
        return 1;
    return calculator.sawBadLine() ? 1 : 0;
}

// Puts the named file in the place of standard input. On Windows the name
// is taken from the wide command line, so any Unicode file name opens.
bool openAsInput(char **argv, const char *name)
{
#ifdef _WIN32
    int count = 0;
    wchar_t **wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    int fd = -1;
    for (int i = 1; wide != nullptr && i < count && fd < 0; ++i)
        if (argv[i] == name)
            fd = ::_wopen(wide[i], _O_RDONLY | _O_BINARY);
    ::LocalFree(wide);
#else
    static_cast<void>(argv);
    const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
#endif
    if (fd < 0 || ::dup2(fd, STDIN_FILENO) < 0) {
        std::fprintf(stderr, "cttax-calc: cannot open '%s': %s\n", name, std::strerror(errno));
        return false;
    }
    ::close(fd);
    return true;
}

int runSingle(const char *statusText, const char *agiText, const char *propertyTaxText)
{
    const auto status = cttax::cli::parseFilingStatus(statusText);
    if (!status) {
        std::fprintf(stderr, "cttax-calc: unknown filing status '%s' (use 0-3, single, married, separately or "
                             "household)\n", statusText);
        return 2;
    }
    cttax::cli::CaseResult result;
    cttax::cli::computeCase(*status, agiText, propertyTaxText, false, result);
    // The captions' dot runs are drawn for the window's font; here the values
    // start in one column after the longest caption.
    int width = 0;
    for (const cttax::PresentedResult &row : cttax::kPresentedResults)
        width = std::max(width, static_cast<int>(std::strlen(row.caption)));
    for (std::size_t i = 0; i < cttax::kPresentedResults.size(); ++i)
        std::printf("%-*s %.*s\n", width, cttax::kPresentedResults[i].caption,
                    static_cast<int>(result.texts[i].size), result.texts[i].data);
    if (!result.note.empty()) {
        std::fprintf(stderr, "cttax-calc: %s\n", result.note.c_str());
        return 1;
    }
    return 0;
}

// Flushes what the C streams still hold: output that could not be written
// never ends in a success.
int finishOutput(int status)
{
    errno = 0;
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    if (!failed)
        return status;
    if (errno != 0)
        std::fprintf(stderr, "cttax-calc: cannot write standard output: %s\n", std::strerror(errno));
    else
        std::fputs("cttax-calc: cannot write standard output\n", stderr);
    return status == 0 ? 1 : status;
}

int run(int argc, char **argv)
{
    cttax::setUpFloatingPoint();
#ifdef _WIN32
    // Bytes in and out as they are: in text mode a byte 26 would end the
    // input and every LF would become CR LF.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    cttax::cli::BatchOptions batch;
    std::vector<const char *> positional;
    bool options = true;
    bool standardInput = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (options && arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!options || arg.empty() || arg[0] != '-' || (arg.size() > 1 && arg[1] != '-')) {
            positional.push_back(argv[i]); // "-5" is an amount, not an option
            continue;
        }
        if (arg == "--")
            options = false;
        else if (arg == "-")
            standardInput = true;
        else if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--version") {
            std::puts("cttax-calc " CTTAX_VERSION);
            return 0;
        } else if (arg == "--header")
            batch.header = true;
        else if (arg == "--raw")
            batch.raw = true;
        else {
            std::fprintf(stderr, "cttax-calc: unknown option '%s'\n\n%s", argv[i], kUsage);
            return 2;
        }
    }
    if (positional.empty())
        return runBatch(batch);
    if (positional.size() == 1 && !standardInput)
        return openAsInput(argv, positional[0]) ? runBatch(batch) : 2;
    if (positional.size() == 3 && !standardInput && !batch.header && !batch.raw)
        return runSingle(positional[0], positional[1], positional[2]);
    std::fprintf(stderr, "cttax-calc: expected no arguments or STATUS AGI PROPERTY_TAX\n\n%s", kUsage);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    return finishOutput(run(argc, argv));
}
