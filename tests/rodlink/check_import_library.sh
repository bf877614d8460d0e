#!/bin/sh
# The x86 import library, read with the build machine's binutils: a caller's stdcall symbol
# (name@bytes of arguments) must import the plain name that rodlink.dll exports, by name;
# an import of the decorated name would fail to load against the export table.
#   check_import_library.sh TOOL_PREFIX librodlink.dll.a
set -u
tools=$1
library=$2
expected="_EnableDisableStatus@4 EnableDisableStatus
_GetMouseInfo@8 GetMouseInfo
_InitButton@0 InitButton
_InstallHooks@0 InstallHooks
_RemoveDrvRegistry@0 RemoveDrvRegistry
_RemoveHooks@0 RemoveHooks
_UpdateButtonStatus@0 UpdateButtonStatus"

if [ ! -f "$library" ]; then
    echo "missing: $library"
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$library" "$work/lib.a"
(cd "$work" && "$tools-ar" x lib.a) || exit 1

# The text of a section of one member up to its first zero byte, the first SKIP bytes left out.
section_text() {
    rm -f "$work/section"
    "$tools-objcopy" --dump-section "$2=$work/section" "$1" "$work/discard" 2>/dev/null
    [ -f "$work/section" ] || return 0
    tail -c +"$(($3 + 1))" "$work/section" | tr '\0' '\n' | head -n 1
}

status=0
actual=""
dll=""
for member in "$work"/*.o; do
    symbol=$("$tools-nm" "$member" | awk '$2 == "T" {print $3}')
    if [ -n "$symbol" ]; then
        # .idata$6 is the hint-name entry: a 2-byte hint, then the name the loader looks up.
        actual="$actual$symbol $(section_text "$member" '.idata$6' 2)
"
    elif [ -z "$dll" ]; then
        dll=$(section_text "$member" '.idata$7' 0)
    fi
done
actual=$(printf '%s' "$actual" | sort)

if [ "$actual" = "$expected" ]; then
    echo "ok: every stdcall symbol imports its plain name"
else
    echo "wrong imports in $library (symbol, imported name):"
    echo "$actual"
    status=1
fi
if [ "$dll" = "rodlink.dll" ]; then
    echo "ok: imported from $dll"
else
    echo "wrong library name in $library: '$dll'"
    status=1
fi
exit $status
