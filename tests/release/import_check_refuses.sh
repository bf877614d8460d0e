#!/usr/bin/env bash
# The import check fails on what it must refuse, and names it:
# - a function the allowlist lacks: the allowlist without SetMenuDefaultItem, which the tray
#   utility imports;
# - a DLL with a thread-local storage directory: the stand-in hook library, which keeps the C
#   runtime's start-up code that brings one.
#   import_check_refuses.sh RELEASE-TOOLS PUPEX.EXE STAND-IN-PUPEX.DLL SCRATCH-ALLOWLIST
set -uo pipefail
tools=$1
program=$2
dll_with_tls=$3
allowlist=$4
status=0
source "$(dirname "${BASH_SOURCE[0]}")/expect_refusal.sh"
sed 's/\bSetMenuDefaultItem\b//' "$tools/imports-allowlist.txt" >"$allowlist"
expect_refusal "an import off the allowlist" "USER32.DLL SetMenuDefaultItem: not in the allowlist" \
    "$allowlist" "$program"
expect_refusal "a DLL with thread-local storage" "a DLL with a thread-local storage directory" \
    "$tools/imports-allowlist.txt" "$dll_with_tls"
exit $status
