#!/usr/bin/env bash
# Checks that the documentation names what the program reads, taking the names from the
# sources: every switch of the version banner and every switch the program looks for must
# be in README.md's command-line tables, the banner's and the run-wide switches in the
# tables of docs/unattended.md, and every [INSTALL] key must have its row ("| `key` |") in
# docs/script-reference.md. Names what is missing and exits 1; run by scripts/test.sh.
set -eu
cd "$(dirname "$0")/.."
fail=0
missing() { echo "check-docs: $1" >&2; fail=1; }

# The banner's switches: the text after "switches:" in VersionBannerText.
banner=$(sed -n '/^std::string VersionBannerText/,/^}/p' src/driver/UStartup.cpp | tr '\n' ' ' |
  sed -n 's/.*switches:|//p' | grep -oE '/[A-Za-z][A-Za-z0-9]*' || true)
# The seam's switches (never counted as arguments), every switch looked for, and the
# run-wide ones: the seam's, /debug and /skipfinish.
seam=$(grep -oE '"/[a-z]+=?"' src/common/text/UCmdLine.cpp | tr -d '"' || true)
looked=$( (grep -rohE 'IsSwitchPresent\("[-/][A-Za-z0-9]+"\)' src | sed -E 's/.*\("(.*)"\)/\1/'
  grep -ohE '\{"/[A-Za-z0-9]+", &Run' src/driver/UStartup.cpp | sed -E 's/\{"([^"]+)".*/\1/') || true)
run_wide=$(printf '%s\n' "$seam"; grep -ohE 'IsSwitchPresent\("[-/](debug|skipfinish)"\)' \
  src/common/UDebugLog.cpp src/driver/UParams.cpp | sed -E 's/.*\("(.*)"\)/\1/')
# The [INSTALL] keys: the {"key", &p.field} rows of ReadInstallSection.
keys=$(sed -n '/^void ReadInstallSection/,/^}/p' src/driver/UParams.cpp |
  grep -oE '\{"[A-Za-z0-9_]+", &p\.' | sed -E 's/\{"([^"]+)".*/\1/' || true)

[ "$(wc -w <<<"$banner")" -ge 5 ] || missing "no switches found in VersionBannerText (src/driver/UStartup.cpp)"
[ "$(wc -w <<<"$seam")" -ge 4 ] || missing "no run-wide switches found in src/common/text/UCmdLine.cpp"
[ "$(wc -w <<<"$keys")" -ge 20 ] || missing "no [INSTALL] keys found in ReadInstallSection (src/driver/UParams.cpp)"

# The README's command-line tables: the table rows of its "Command line" section.
table=$(sed -n '/^## Command line/,/^## /p' README.md | grep '^|' || true)
[ -n "$table" ] || missing "README.md has no \"## Command line\" section with a table"

# has TEXT SWITCH: the switch as a whole word (/script is not /script2), any letter case;
# one that ends in "=" takes its value right after it.
has() {
  local end='([^A-Za-z0-9]|$)'
  [ "${2: -1}" = "=" ] && end=
  grep -qiE "(^|[^A-Za-z0-9])$2$end" <<<"$1"
}
for doc in docs/unattended.md docs/script-reference.md; do [ -f $doc ] || missing "$doc is missing"; done
unattended=$(grep '^|' docs/unattended.md 2>/dev/null || true)
reference=$(cat docs/script-reference.md 2>/dev/null || true)
for sw in $(printf '%s\n' "$banner" "$seam" "$looked" | sort -fu); do
  has "$table" "$sw" || missing "switch $sw is not in README.md's command-line tables"
done
for sw in $(printf '%s\n' "$banner" "$run_wide" | sort -fu); do
  has "$unattended" "$sw" || missing "switch $sw is not in the tables of docs/unattended.md"
done
for key in $keys; do
  grep -qF "| \`$key\` |" <<<"$reference" || missing "[INSTALL] key $key has no row \"| \`$key\` |\" in docs/script-reference.md"
done
[ $fail = 0 ] && echo "check-docs: $(wc -w <<<"$banner") banner switches, $(wc -w <<<"$keys") [INSTALL] keys: documented"
exit $fail
