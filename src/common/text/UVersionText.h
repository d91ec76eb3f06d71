// Four-part file versions and dotted version texts. Pure text.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tolvex {

using VersionParts = std::array<uint32_t, 4>;  // major, minor, release, build

// A missing, empty or non-integer field of a dotted version text: matches anything and
// ends a comparison at that depth.
constexpr uint32_t kVersionWildcard = 0xFFFF;

// The four fields of a dotted text; wildcards as above, numbers modulo 65536.
VersionParts SplitVersionText(const std::string& text);
// "a.b.c.d" in decimal.
std::string VersionPartsText(const VersionParts& v);
// 1, 0 or -1 over all four parts.
int CompareVersions(const VersionParts& a, const VersionParts& b);
// 1, 0 or -1; an empty text is lower than any other, and the comparison stops before the
// first part that is a wildcard on either side.
int CompareVersionTexts(const std::string& a, const std::string& b);
// Every non-wildcard part of pattern equals that part of version.
bool VersionMatchesPattern(const VersionParts& version, const std::string& pattern);

// A wanted version as a script writes it ("8", "9.0.124", "8.x"): the first four fields
// between points, each trimmed and taken as a whole number when it is one (an optional
// sign and digits that fit in 32 bits), else 0; a missing field is 0. Unlike a file's
// version a field is not cut to 16 bits: "70000" is wanted, not 4464.
using WantedVersion = std::array<long long, 4>;
WantedVersion ParseWantedVersion(const std::string& text);
// 1, 0 or -1: the version against the wanted one, major first.
int CompareWithWantedVersion(const VersionParts& version, const std::string& wanted);

}  // namespace tolvex
