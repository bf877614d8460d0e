#!/usr/bin/env bash
# The floppy image the shipping build wrote: a 1.44 MB FAT12 disk holding every file of the
# installation medium, byte for byte, and nothing else. Names that differ only in case are
# one file on FAT.
#   check_floppy.sh IMAGE MEDIUM-FOLDER
set -euo pipefail
image=$1
medium=$2
export MTOOLSRC=/dev/null
status=0
fail() { echo "$*"; status=1; }

[ "$(stat -c %s "$image")" = 1474560 ] || fail "not the size of a 1.44 MB disk: $(stat -c %s "$image")"
info=$(minfo -i "$image" ::)
grep -q '^small size: 2880 sectors' <<<"$info" || fail "not the 2880 sectors of a 1.44 MB disk"
grep -q '^disk type="FAT12 *"' <<<"$info" || fail "not FAT12: $(grep '^disk type' <<<"$info")"

expected=$(find "$medium" -maxdepth 1 -type f ! -name '.*' -printf '%f\n' | tr '[:lower:]' '[:upper:]' | LC_ALL=C sort -u)
on_disk=$(mdir -i "$image" -b :: | sed 's|^::/||' | tr '[:lower:]' '[:upper:]' | LC_ALL=C sort)
[ "$expected" = "$on_disk" ] || fail "the disk holds other files than the medium:
$(diff <(echo "$expected") <(echo "$on_disk"))"
for file in "$medium"/*; do
    mcopy -i "$image" "::$(basename "$file")" - | cmp -s - "$file" || fail "$(basename "$file") differs on the disk"
done
[ $status = 0 ] && echo "ok: $(echo "$on_disk" | wc -l) files of $medium on $image"
exit $status
