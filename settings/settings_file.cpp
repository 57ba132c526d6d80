// SPDX-License-Identifier: MIT
#include "settings/settings_file.h"

#include "engine/fpenv.h"
#include "text/decimal.h"
#include "text/pow10.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cttax {

namespace {

std::string messageOf(int code)
{
    switch (code) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    case 100:
        return "Read beyond end of file";
    case 101:
        return "Disk full";
    case kInvalidNumericInput:
        return "Invalid numeric input";
    default:
        return "I/O error " + std::to_string(code);
    }
}

[[noreturn]] void raiseErrno(int errnoValue)
{
    throw EInOutError(inOutCodeOf(errnoValue));
}

// Closes a descriptor on every path out of a scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return fd_; }
    // Closes now and reports the error of the close.
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

// The user's own "read-only" mark counts even for root, who could write
// through it: a settings file or folder without any write bit is refused.
void refuseReadOnly(const std::filesystem::path &path, bool mustExist)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (mustExist)
            raiseErrno(errno);
        return;
    }
    if (S_ISDIR(info.st_mode) && !mustExist)
        raiseErrno(EISDIR);
    if (::access(path.c_str(), W_OK) != 0)
        raiseErrno(errno);
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        raiseErrno(EACCES);
}

std::string formatSettingsInteger(std::int32_t value)
{
    return std::to_string(value);
}

} // namespace

EInOutError::EInOutError(int code) : std::runtime_error(messageOf(code)), code_(code) {}

int inOutCodeOf(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
        return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return 5;
    case ENOSPC:
    case EDQUOT:
        return 112;
    default:
        return errnoValue;
    }
}

std::filesystem::path settingsPathFor(const std::filesystem::path &executable)
{
    std::filesystem::path path = executable;
    path.replace_extension(".fig");
    return path;
}

std::string formatSettingsReal(Extended value)
{
    if (!std::isfinite(value)) {
        const char *text = std::isnan(value) ? "Nan" : value < 0 ? "-Inf" : "+Inf";
        std::string padded(23 - std::strlen(text), ' ');
        return padded + text;
    }
    Extended m = std::fabs(value);
    int exponent = 0;
    while (m != 0) {
        const int k = floorLog10OfPow2(std::ilogb(m));
        if (k == 0)
            break;
        exponent += k;
        m = scaleByPowerOfTen(m, -k);
    }
    // m is now 0 or between 1 and 16: t has 18 or 19 digits.
    Extended t = std::rint(mul(m, 1e17L));
    char buffer[20];
    buffer[0] = '0';
    if (t >= 1e18L) {
        buffer[0] = '1';
        t = sub(t, 1e18L);
    }
    auto digits = static_cast<std::uint64_t>(t);
    for (int i = 18; i >= 1; --i) {
        buffer[i] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    if (buffer[16] >= '5') {
        for (int i = 15; i >= 0; --i) {
            if (buffer[i] == '9') {
                buffer[i] = '0';
                continue;
            }
            ++buffer[i];
            break;
        }
    }
    const char *mantissa = buffer + 1;
    if (buffer[0] != '0') {
        mantissa = buffer;
        ++exponent;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%c%c.%.14sE%c%04d", std::signbit(value) ? '-' : ' ', mantissa[0],
                  mantissa + 1, exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    return text;
}

std::string settingsFileContent(const SettingsValues &values)
{
    std::string content;
    for (const std::string &line :
         {formatSettingsInteger(values.top), formatSettingsInteger(values.left), formatSettingsReal(values.agi),
          formatSettingsReal(values.propertyTaxPaid), formatSettingsInteger(values.status)}) {
        content += line;
        content += "\r\n";
    }
    return content;
}

void writeSettingsFile(const std::filesystem::path &path, const SettingsValues &values,
                       const WriteFunction &writeBytes)
{
    const std::string content = settingsFileContent(values);
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    refuseReadOnly(folder, true);
    refuseReadOnly(path, false);

    std::string temporary = path.string() + ".XXXXXX";
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (fd.get() < 0)
        raiseErrno(errno);
    struct stat old {};
    // mkstemp makes the file private; the settings keep the earlier file's
    // permissions, or get the usual ones for a new file.
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    const auto fail = [&](int errnoValue) {
        ::unlink(temporary.c_str());
        raiseErrno(errnoValue);
    };
    if (::fchmod(fd.get(), mode) != 0)
        fail(errno);

    std::size_t done = 0;
    while (done < content.size()) {
        const long n = writeBytes ? writeBytes(fd.get(), content.data() + done, content.size() - done)
                                  : ::write(fd.get(), content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(n < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd.get()) != 0)
        fail(errno);
    if (fd.close() != 0)
        fail(errno);
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        fail(errno);
}

SettingsReader::SettingsReader(const std::filesystem::path &path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        raiseErrno(errno);
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            raiseErrno(errno);
        if (n == 0)
            break;
        content_.append(buffer, static_cast<std::size_t>(n));
    }
    if (fd.close() != 0)
        raiseErrno(errno);
    trimAtEndOfFile();
}

void SettingsReader::trimAtEndOfFile()
{
    const std::size_t end = content_.find('\x1a');
    if (end != std::string::npos)
        content_.resize(end);
}

std::string_view SettingsReader::nextToken(std::size_t maxLength)
{
    const auto code = [this](std::size_t i) { return static_cast<unsigned char>(content_[i]); };
    while (position_ < content_.size() && code(position_) <= 32)
        ++position_;
    const std::size_t start = position_;
    while (position_ < content_.size() && code(position_) > 32 && position_ - start < maxLength)
        ++position_;
    return std::string_view(content_).substr(start, position_ - start);
}

void SettingsReader::skipRestOfLine()
{
    const std::size_t lf = content_.find('\n', position_);
    position_ = lf == std::string::npos ? content_.size() : lf + 1;
}

std::int32_t SettingsReader::readInteger()
{
    const std::string_view token = nextToken(32);
    skipRestOfLine();
    if (token.empty())
        return 0; // the end of the file came first
    std::size_t i = 0;
    const bool negative = token[0] == '-';
    if (token[0] == '+' || token[0] == '-')
        ++i;
    if (i == token.size())
        throw EInOutError(kInvalidNumericInput);
    std::int64_t value = 0;
    for (; i < token.size(); ++i) {
        if (token[i] < '0' || token[i] > '9')
            throw EInOutError(kInvalidNumericInput);
        value = value * 10 + (token[i] - '0');
        if (value > std::int64_t{2147483648})
            throw EInOutError(kInvalidNumericInput);
    }
    if (negative)
        value = -value;
    if (value > 2147483647 || value < -2147483647 - 1)
        throw EInOutError(kInvalidNumericInput);
    return static_cast<std::int32_t>(value);
}

void SettingsReader::readReal(Extended &target)
{
    const std::string_view token = nextToken(64);
    if (token.empty()) {
        skipRestOfLine();
        target = 0;
        return;
    }
    const ParsedDecimal parsed = parseDecimal(token);
    target = parsed.value;
    skipRestOfLine();
    if (parsed.errorPos != 0)
        throw EInOutError(kInvalidNumericInput);
}

} // namespace cttax
