#!/usr/bin/env bash
# mkfloppy refuses a medium that does not fit on the disk, and two names that FAT would take
# for one file when their contents differ.
#   mkfloppy_refuses.sh MKFLOPPY SCRATCH-FOLDER
set -uo pipefail
mkfloppy=$1
scratch=$2
status=0
expect_refusal() {
    local what=$1 message=$2
    if output=$("$mkfloppy" "$scratch/disk.img" "$scratch/medium" 2>&1); then
        echo "accepted $what: $output"
        status=1
    elif ! grep -q "$message" <<<"$output"; then
        echo "refused $what without saying why: $output"
        status=1
    else
        echo "ok: refused $what: $output"
    fi
}
rm -rf "$scratch" && mkdir -p "$scratch/medium"
head -c 1000000 /dev/zero >"$scratch/medium/big1.ex_"
head -c 500000 /dev/zero >"$scratch/medium/big2.ex_"
expect_refusal "1.5 MB of files" "needs more than"

rm -rf "$scratch/medium" && mkdir -p "$scratch/medium"
echo one >"$scratch/medium/QUELLBOX.INF"
echo two >"$scratch/medium/quellbox.inf"
expect_refusal "two different files named alike but for case" "are one file on FAT"

echo one >"$scratch/medium/quellbox.inf"
if output=$("$mkfloppy" "$scratch/disk.img" "$scratch/medium" 2>&1); then
    echo "ok: two equal files named alike but for case are one: $output"
else
    echo "refused two equal files named alike but for case: $output"
    status=1
fi
rm -rf "$scratch"
exit $status
