#!/usr/bin/env bash
# The import check fails on a function the allowlist lacks, and names it: here the allowlist
# without SetMenuDefaultItem, which the tray utility imports.
#   import_check_refuses.sh RELEASE-TOOLS PUPEX.EXE SCRATCH-ALLOWLIST
set -uo pipefail
tools=$1
program=$2
allowlist=$3
sed 's/\bSetMenuDefaultItem\b//' "$tools/imports-allowlist.txt" >"$allowlist"
if output=$("$tools/check-imports" "$allowlist" "$program"); then
    echo "accepted an import off the allowlist: $output"
    exit 1
fi
grep -q 'USER32.DLL SetMenuDefaultItem: not in the allowlist' <<<"$output" ||
    { echo "refused without naming the import: $output"; exit 1; }
echo "ok: $output"
