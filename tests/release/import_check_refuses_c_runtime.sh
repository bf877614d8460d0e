#!/usr/bin/env bash
# The import check refuses a C runtime DLL, which the first Windows 95 release does not have:
# - a program that imports one, as the stand-in hook library imports msvcrt.dll;
# - an allowlist that names one, of any generation, so that none can be let in by adding it.
#   import_check_refuses_c_runtime.sh RELEASE-TOOLS PROGRAM-WITH-MSVCRT SCRATCH-FOLDER
set -uo pipefail
tools=$1
program=$2
scratch=$3
status=0
mkdir -p "$scratch"
source "$(dirname "${BASH_SOURCE[0]}")/expect_refusal.sh"
expect_refusal "a program importing msvcrt.dll" "MSVCRT.DLL: a C runtime DLL" \
    "$tools/imports-allowlist.txt" "$program"
for dll in msvcrt.dll MSVCRT40.DLL crtdll.dll msvcr71.dll msvcp60.dll ucrtbase.dll vcruntime140.dll \
           api-ms-win-crt-runtime-l1-1-0.dll; do
    allowlist=$scratch/allowlist-with-$dll.txt
    { cat "$tools/imports-allowlist.txt"; printf '[%s]\nstrlen\n' "$dll"; } >"$allowlist"
    upper=$(tr '[:lower:]' '[:upper:]' <<<"$dll")
    expect_refusal "an allowlist naming $dll" "$upper is a C runtime DLL" "$allowlist" "$program"
done
exit $status
