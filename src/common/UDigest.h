// A digest of a text, from the system's cryptographic provider, to tell later whether a
// file the program wrote was changed since.
#pragma once

#include <string>

namespace tolvex {

// "sha256:<hex>" where the system offers SHA-256, else "sha1:<hex>"; empty where it offers
// neither (Windows 95 without the cryptographic provider): the caller then has no digest.
std::string TextDigest(const std::string& text);
// True when text has the digest given, made the same way; false for a digest of a kind
// this system cannot make.
bool TextMatchesDigest(const std::string& text, const std::string& digest);

}  // namespace tolvex
