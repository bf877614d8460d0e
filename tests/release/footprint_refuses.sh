#!/usr/bin/env bash
# The footprint check fails on four deliverables one byte over 64 KiB and passes them at
# exactly 64 KiB: copies of the shipping build's files, the largest padded to the figure.
#   footprint_refuses.sh FOOTPRINT BIN-FOLDER MEDIUM-FOLDER SCRATCH-FOLDER
set -uo pipefail
footprint=$1
bin=$2
medium=$3
scratch=$4
status=0
rm -rf "$scratch"
mkdir -p "$scratch"
others=0
for file in rodlink.dll Pupex.exe Tessarok.exe; do
    cp "$bin/$file" "$scratch/"
    others=$((others + $(stat -c %s "$bin/$file")))
done
for total in 65536 65537; do
    head -c $((total - others)) /dev/zero >"$scratch/setup.exe"
    if output=$("$footprint" --check "$scratch" "$medium"); then
        verdict=passed
    else
        verdict=failed
    fi
    expected=$([ "$total" -le 65536 ] && echo passed || echo failed)
    if [ "$verdict" = "$expected" ]; then
        echo "ok: $total bytes together $verdict"
    else
        echo "$total bytes together $verdict, expected $expected: $output"
        status=1
    fi
done
exit $status
