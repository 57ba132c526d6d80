// SPDX-License-Identifier: MIT
// The tolerant reader: one value at a time, through a small buffer.
#include "settings/settings_file.h"

#include "settings/file_layer.h"
#include "text/decimal.h"

#include <cstring>
#include <limits>

namespace cttax {

namespace {

constexpr std::size_t kBufferSize = 16 * 1024;
constexpr int kEndOfFileByte = 26; // Ctrl-Z

} // namespace

SettingsReader::SettingsReader(const SettingsPath &path) : file_(detail::openForReading(path))
{
    buffer_.resize(kBufferSize);
}

SettingsReader::SettingsReader(std::string content) : buffer_(std::move(content)), end_(buffer_.size()) {}

SettingsReader::~SettingsReader()
{
    if (file_ != detail::kNoFile)
        detail::closeFile(file_, false);
}

void SettingsReader::close()
{
    if (file_ == detail::kNoFile)
        return;
    const detail::NativeFile file = file_;
    file_ = detail::kNoFile;
    atEnd_ = position_ >= end_;
    detail::closeFile(file, true);
}

bool SettingsReader::refill(bool acrossHoles)
{
    if (file_ == detail::kNoFile || atEnd_) {
        atEnd_ = true;
        return false;
    }
    long long offset = fileOffset_;
    const std::size_t n = detail::readFrom(file_, buffer_.data(), buffer_.size(), offset, acrossHoles);
    if (n == 0) {
        atEnd_ = true;
        return false;
    }
    position_ = 0;
    end_ = n;
    fileOffset_ = offset + static_cast<long long>(n);
    return true;
}

int SettingsReader::peek(bool acrossHoles)
{
    if (atEnd_)
        return -1;
    if (position_ >= end_ && !refill(acrossHoles))
        return -1;
    const int c = static_cast<unsigned char>(buffer_[position_]);
    if (c == kEndOfFileByte) {
        atEnd_ = true;
        return -1;
    }
    return c;
}

std::string_view SettingsReader::nextToken(std::size_t maxLength)
{
    for (int c = peek(true); c >= 0 && c <= 32; c = peek(true))
        advance();
    std::size_t length = 0;
    for (int c = peek(false); c > 32 && length < maxLength; c = peek(false)) {
        token_[length++] = static_cast<char>(c);
        advance();
    }
    return {token_, length};
}

void SettingsReader::skipRestOfLine()
{
    while (peek(true) >= 0) {
        const char *start = buffer_.data() + position_;
        const std::size_t size = end_ - position_;
        const void *lf = std::memchr(start, '\n', size);
        const std::size_t scan = lf ? static_cast<std::size_t>(static_cast<const char *>(lf) - start) + 1 : size;
        if (const void *eof = std::memchr(start, kEndOfFileByte, scan)) {
            position_ += static_cast<std::size_t>(static_cast<const char *>(eof) - start);
            atEnd_ = true;
            return;
        }
        position_ += scan;
        if (lf)
            return;
    }
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
    // The writer's forms of the special values come back as those values.
    if (token == "+Inf" || token == "-Inf" || token == "Nan") {
        target = token == "Nan"    ? std::numeric_limits<Extended>::quiet_NaN()
                 : token == "+Inf" ? std::numeric_limits<Extended>::infinity()
                                   : -std::numeric_limits<Extended>::infinity();
        skipRestOfLine();
        return;
    }
    const ParsedDecimal parsed = parseDecimal(token);
    target = parsed.value;
    skipRestOfLine();
    if (parsed.errorPos != 0)
        throw EInOutError(kInvalidNumericInput);
}

} // namespace cttax
