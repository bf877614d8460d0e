# The Windows 95 installation: setup.exe runs from the installation medium (its current
# directory) with the default choices, and what it installed is shown.

# In a fresh copy of the template prefix of its own, ended and removed afterwards: the later
# steps keep a shared prefix without this installation.
(
# shellcheck source=../wine/common.sh
source "$TAMRIX_HARNESS/common.sh"
fresh=$TAMRIX_WINE/fresh/demo-setup
mkdir -p "$TAMRIX_WINE/fresh"
reset_prefix "$fresh"
trap 'stop_prefix "$fresh"; rm -rf "$fresh"' EXIT
start_prefix "$fresh"
wine_env "$fresh"

medium=$TAMRIX_BUILD/medium
auto() { win "$bin/autodrive.exe" "$@"; }

step "The installation medium the build assembled in $medium (\"_\" files SZDD-compressed)"
ls -l "$medium" | sed -n 's/^\S\+ \+\S\+ \+\S\+ \+\S\+ \+\(\S\+\) .* \(\S\+\)$/  \2  \1 bytes/p'

step "setup.exe from the medium in a fresh prefix, as Windows 95: Welcome, Next; Select Installation Type with its defaults, Next"
(cd "$medium" && win ./setup.exe) &
setup_run=$!
auto wait "Welcome" 20000 && auto click "Welcome" 1
auto controls "Select Installation Type" | grep -E 'Port|Lumivane'
auto click "Select Installation Type" 1
auto wait "Install Finished" 30000
echo "  Install Finished: \"Reboot Now?\" answered No"
auto click "Install Finished" 2
wait "$setup_run"

c=$WINEPREFIX/drive_c
step "Files installed"
for file in "$c"/Tamrix/* "$c"/windows/system32/tamrix.vxd "$(find "$c/windows" -ipath '*/inf/other/quellbox.inf')"; do
    name=C:${file#"$c"}
    printf '  %-40s %8s bytes\n' "${name//\//\\}" "$(stat -c %s "$file")"
done

step "Registry: the serial mouse device and its driver instance (HKEY_LOCAL_MACHINE)"
for key in 'HKLM\Enum\Root\*PNP0F0C\0000' 'HKLM\SYSTEM\CurrentControlSet\Services\Class\Mouse\0000'; do
    echo "  $key"
    win reg query "$key" | sed -n 's/^ \{4\}/    /p'
done

step "Registry: control-panel extension, log-on entries and the uninstall entry"
for key in 'HKCR\CLSID\{D4BCF700-791D-11CF-99F9-444553540000}\InProcServer32' \
    'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Controls Folder\Mouse\shellex\PropertySheetHandlers\Tamrix CPL' \
    'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run' \
    'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Lumivane'; do
    echo "  $key"
    win reg query "$key" | sed -n 's/^ \{4\}/    /p'
done

step "The three entries in C:\\windows\\system.ini"
tr -d '\r' < "$c/windows/system.ini" | awk '
    /^\[/ { section = $0 }
    (section == "[boot]" && /^mouse\.drv=/) || (section == "[boot.description]" && /^mouse\.drv=/) ||
    (section == "[386Enh]" && /^mouse=/) { print "  " section " " $0 }'

step "The Start menu shortcuts (read back with lnkinfo)"
find "$c" -ipath '*/programs/tamrix/*.lnk' | sort | while read -r link; do
    echo "  ${link#"$c/"}"
    lnkinfo "$link" | sed -n 's/^\s*\(Local path\|Description\)\s*:\s*/    \1: /p'
done
)
