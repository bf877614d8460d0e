#!/bin/sh
# The export table of each rodlink.dll given, read with an independent tool (winedump): the
# seven functions under their plain names at ordinals 1 to 7, and nothing else.
set -u
expected="1 UpdateButtonStatus
2 EnableDisableStatus
3 InitButton
4 InstallHooks
5 RemoveHooks
6 GetMouseInfo
7 RemoveDrvRegistry"
status=0
for dll in "$@"; do
    if [ ! -f "$dll" ]; then
        echo "missing: $dll"
        status=1
        continue
    fi
    actual=$(winedump -j export "$dll" | awk '/^  [0-9A-F]+ +[0-9]+ /{print $2, $3}' | sort -n)
    if [ "$actual" = "$expected" ]; then
        echo "ok: $dll"
    else
        echo "wrong export table in $dll:"
        echo "$actual"
        status=1
    fi
done
exit $status
