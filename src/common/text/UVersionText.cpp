#include "UVersionText.h"

#include "UText.h"

namespace tolvex {

static uint32_t FieldValue(const std::string& field) {
  size_t i = 0;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  if (i >= field.size()) return kVersionWildcard;
  uint32_t v = 0;
  for (; i < field.size(); ++i) {
    if (field[i] < '0' || field[i] > '9') return kVersionWildcard;
    v = (v * 10 + static_cast<uint32_t>(field[i] - '0')) & 0xFFFFu;  // modulo 65536 as we go
  }
  return negative ? (0x10000u - v) & 0xFFFFu : v;
}

VersionParts SplitVersionText(const std::string& text) {
  VersionParts parts{kVersionWildcard, kVersionWildcard, kVersionWildcard, kVersionWildcard};
  std::vector<std::string> fields = SplitText(text, '.');
  for (size_t i = 0; i < 4 && i < fields.size(); ++i) parts[i] = FieldValue(fields[i]);
  return parts;
}

std::string VersionPartsText(const VersionParts& v) {
  return Format("%d.%d.%d.%d", {v[0], v[1], v[2], v[3]});
}

static int ComparePrefix(const VersionParts& a, const VersionParts& b, size_t depth) {
  for (size_t i = 0; i < depth; ++i) {
    if (a[i] > b[i]) return 1;
    if (a[i] < b[i]) return -1;
  }
  return 0;
}

int CompareVersions(const VersionParts& a, const VersionParts& b) { return ComparePrefix(a, b, 4); }

int CompareVersionTexts(const std::string& a, const std::string& b) {
  if (a.empty() && b.empty()) return 0;
  if (a.empty()) return -1;
  if (b.empty()) return 1;
  VersionParts va = SplitVersionText(a), vb = SplitVersionText(b);
  size_t depth = 4;
  for (size_t i = 1; i < 4; ++i)
    if (va[i] == kVersionWildcard || vb[i] == kVersionWildcard) {
      depth = i;
      break;
    }
  return ComparePrefix(va, vb, depth);
}

bool VersionMatchesPattern(const VersionParts& version, const std::string& pattern) {
  VersionParts p = SplitVersionText(pattern);
  for (size_t i = 0; i < 4; ++i)
    if (p[i] != kVersionWildcard && p[i] != version[i]) return false;
  return true;
}

static long long WantedField(const std::string& raw) {
  std::string field = Trim(raw);
  size_t i = field.empty() || (field[0] != '+' && field[0] != '-') ? 0 : 1;
  if (i >= field.size()) return 0;
  long long v = 0;
  for (size_t k = i; k < field.size(); ++k) {
    if (field[k] < '0' || field[k] > '9') return 0;
    v = v * 10 + (field[k] - '0');
    if (v > 0x80000000LL) return 0;  // not a number a script could mean
  }
  if (field[0] == '-') return -v;
  return v > 0x7FFFFFFFLL ? 0 : v;
}

WantedVersion ParseWantedVersion(const std::string& text) {
  WantedVersion w{0, 0, 0, 0};
  std::vector<std::string> fields = SplitText(text, '.');
  for (size_t i = 0; i < 4 && i < fields.size(); ++i) w[i] = WantedField(fields[i]);
  return w;
}

int CompareWithWantedVersion(const VersionParts& version, const std::string& wanted) {
  WantedVersion w = ParseWantedVersion(wanted);
  for (size_t i = 0; i < 4; ++i) {
    long long have = version[i];
    if (have > w[i]) return 1;
    if (have < w[i]) return -1;
  }
  return 0;
}

}  // namespace tolvex
