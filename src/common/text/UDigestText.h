// SHA-256 of a text, to tell later whether a file the program wrote was changed since.
// Written out here rather than asked of the system: Windows 95 has no cryptographic
// provider to ask, and the provider reads its settings from the registry, which a run may
// see redirected. Pure text: builds natively.
#pragma once

#include <string>

namespace tolvex {

// "sha256:" and 64 lower-case hexadecimal digits.
std::string TextDigest(const std::string& text);
// True when text has the digest given (letter case of the digits aside).
bool TextMatchesDigest(const std::string& text, const std::string& digest);

}  // namespace tolvex
