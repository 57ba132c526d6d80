// SPDX-License-Identifier: MIT
// The settings file in the browser: the five lines kept as one text in the
// page's localStorage, under the settings path as its key ("cttax.fig").
// Under node (the tests, the batch calculator) the key names a file instead.
#pragma once

#include <optional>
#include <string>

namespace cttax::web {

// The text stored under `key`, byte for byte (each character one byte), or
// nothing where no text is stored. Throws EInOutError: storage refused (a
// browser's setting, a sandboxed frame) 5.
std::optional<std::string> storedText(const std::string &key);

// Stores `text` under `key`, replacing what was there. Throws EInOutError:
// storage refused 5, full (the origin's quota, a private window's) 101; the
// earlier text then stays as it was.
void storeText(const std::string &key, const std::string &text);

} // namespace cttax::web
