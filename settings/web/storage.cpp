// SPDX-License-Identifier: MIT
// The file layer of the browser: what the shared reader and the form need of
// a settings "file", over localStorage (or, under node, the file system).
#include "settings/web/storage.h"

#include "settings/file_layer.h"
#include "settings/settings_file.h"

#include <emscripten.h>

#include <cstdlib>
#include <cstring>
#include <map>

namespace {

// Returns 0 stored, 5 refused, 101 full; 2 with nothing stored for a read.
// A read's text comes back in *out (malloc'ed, each byte one character).
// clang-format off
EM_JS(int, cttax_storage_read, (const char *key, char **out, int *length), {
    const name = UTF8ToString(key);
    let text;
    try {
        if (typeof localStorage !== 'undefined') {
            text = localStorage.getItem(name);
        } else {
            const fs = require('fs');
            text = fs.existsSync(name) ? fs.readFileSync(name, 'latin1') : null;
        }
    } catch (error) {
        return 5;
    }
    if (text === null)
        return 2;
    const bytes = _malloc(text.length + 1);
    for (let i = 0; i < text.length; ++i)
        HEAPU8[bytes + i] = text.charCodeAt(i) & 0xFF;
    HEAP32[out >> 2] = bytes;
    HEAP32[length >> 2] = text.length;
    return 0;
});

EM_JS(int, cttax_storage_write, (const char *key, const char *bytes, int length), {
    const name = UTF8ToString(key);
    let text = "";
    for (let i = 0; i < length; ++i)
        text += String.fromCharCode(HEAPU8[bytes + i]);
    try {
        if (typeof localStorage !== 'undefined')
            localStorage.setItem(name, text);
        else
            require('fs').writeFileSync(name, text, 'latin1');
    } catch (error) {
        const full = error && (error.name === 'QuotaExceededError' || error.code === 22 || error.code === 'ENOSPC');
        return full ? 101 : 5;
    }
    return 0;
});
// clang-format on

// The texts open for reading, by handle.
std::map<cttax::detail::NativeFile, std::string> &openTexts()
{
    static std::map<cttax::detail::NativeFile, std::string> texts;
    return texts;
}

} // namespace

namespace cttax::web {

std::optional<std::string> storedText(const std::string &key)
{
    char *bytes = nullptr;
    int length = 0;
    const int code = cttax_storage_read(key.c_str(), &bytes, &length);
    if (code == 2)
        return std::nullopt;
    if (code != 0)
        throw EInOutError(code);
    std::string text(bytes, static_cast<std::size_t>(length));
    std::free(bytes);
    return text;
}

void storeText(const std::string &key, const std::string &text)
{
    if (const int code = cttax_storage_write(key.c_str(), text.data(), static_cast<int>(text.size())); code != 0)
        throw EInOutError(code);
}

} // namespace cttax::web

namespace cttax {

// The page has no executable: its settings are the one key.
SettingsPath runningExecutablePath()
{
    return "cttax";
}

bool isSettingsFile(const SettingsPath &path)
{
    try {
        return web::storedText(path.string()).has_value();
    } catch (const EInOutError &) {
        return true; // refused: the reading says so
    }
}

SettingsEnvironment SettingsEnvironment::fromProcess()
{
    return {};
}

SettingsLocation settingsLocationFor(const SettingsPath &executable, const SettingsEnvironment &)
{
    return {settingsPathFor(executable), false};
}

void prepareSettingsFolder(const SettingsLocation &) {}

// One write replaces the whole text: the storage keeps the earlier text or
// the new one, never a mix.
void writeSettingsFile(const SettingsPath &path, const SettingsValues &values, const WriteFunction &)
{
    web::storeText(path.string(), settingsFileContent(values));
}

} // namespace cttax

namespace cttax::detail {

NativeFile openForReading(const SettingsPath &path)
{
    std::optional<std::string> text = web::storedText(path.string());
    if (!text)
        throw EInOutError(2);
    static NativeFile next = 0;
    openTexts().emplace(next, std::move(*text));
    return next++;
}

std::size_t readFrom(NativeFile file, char *buffer, std::size_t size, long long &offset, bool)
{
    const std::string &text = openTexts().at(file);
    if (offset < 0 || static_cast<std::size_t>(offset) >= text.size())
        return 0;
    const std::size_t n = std::min(size, text.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, text.data() + offset, n);
    return n;
}

void closeFile(NativeFile file, bool)
{
    openTexts().erase(file);
}

} // namespace cttax::detail
