// The lead bytes of the ANSI code page: where a double-byte character begins. In code
// pages 932, 936, 949 and 950 the second byte of such a character may be a backslash, a
// bar or a letter, so every helper that looks for one of those in a path or a script
// line asks here first. Pure text: the program fills the table from GetCPInfo at
// start-up; the native build and the tests set it themselves. Single-byte by default.
#pragma once

#include <cstddef>
#include <string>

namespace tolvex {

// ranges as GetCPInfo gives them: pairs of first and last lead byte, ended by a pair of
// zeros. Null, or a list that starts with the zero pair: a single-byte code page.
void SetLeadByteRanges(const unsigned char* ranges);
// The ranges of the double-byte code pages 932, 936, 949 and 950; null for any other.
const unsigned char* KnownLeadByteRanges(int codePage);
void ResetCodePage();

bool HasLeadBytes();
bool IsLeadByte(char c);
// The length of the character that begins at i: 2 for a lead byte with a second byte
// after it, else 1. No code page has a second byte below 0x40, nor 0x7F or 0xFF, so a
// lead byte before a blank, a control character, a digit or any of ",./:;<=>?*\"" stands
// alone, and such a character (a separator, a wildcard) is always seen, in a broken
// text too.
size_t CharSize(const std::string& text, size_t i);

}  // namespace tolvex
