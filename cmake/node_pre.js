// SPDX-License-Identifier: MIT
// Node 18 and later define fetch(), which this loader would try on the
// .wasm file's path and fail with; the node programs read it from disk.
if (typeof process === 'object' && typeof globalThis.fetch === 'function')
    globalThis.fetch = undefined;
