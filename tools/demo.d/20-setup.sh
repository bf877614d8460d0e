# The Windows 95 installation: setup.exe runs from the medium (its current directory), is
# cancelled once and resumed, and installs with the default choices.

step "setup.exe from the medium, as Windows 95"
(cd "$medium" && win ./setup.exe) &
setup_run=$!
auto wait "Welcome" 20000
shot "Welcome" setup-welcome "setup: the Welcome dialog"
echo "About, from the Welcome dialog's system menu:"
auto syscommand "Welcome" 0x10
auto wait "About Setup" >/dev/null
shot "About Setup" setup-about "setup: About, from the system menu"
auto click "About Setup" 1
auto gone "About Setup"
if [ -n "${DEMO_BY_HAND:-}" ]; then
    echo "Click through the wizard on display $DISPLAY; the demo goes on when setup ends."
    echo "(The tray utility's steps need the Lumivane function installed.)"
    wait "$setup_run"
else
    echo "Cancel, then Resume:"
    auto click "Welcome" 2
    auto wait "Exit Setup"
    shot "Exit Setup" setup-exit "setup: Cancel asks first"
    auto click "Exit Setup" 1
    auto wait "Welcome"
    echo "Next: the installation type, with its defaults"
    auto click "Welcome" 1
    auto wait "Select Installation Type"
    shot "Select Installation Type" setup-type "setup: the installation type"
    auto controls "Select Installation Type" | grep -E 'Port|Lumivane'
    # The copy takes a moment only: the picture is waited for before Next is pressed.
    shot "Copy files" setup-copy "setup: copying the files" >"$out/copy-shot.txt" &
    copy_shot=$!
    sleep 1
    auto click "Select Installation Type" 1
    wait "$copy_shot" || true
    cat "$out/copy-shot.txt" && rm "$out/copy-shot.txt"
    auto wait "Install Finished" 30000
    shot "Install Finished" setup-finished "setup: done, and the restart question"
    echo "\"Reboot Now?\" answered No"
    auto click "Install Finished" 2
    wait "$setup_run"
fi
snapshot installed

step "What setup changed"
changes start installed

step "The Start menu shortcuts, read back with lnkinfo"
find "$drive_c" -ipath '*/programs/tamrix/*.lnk' | sort | while read -r link; do
    echo "  ${link#"$drive_c/"}"
    lnkinfo "$link" | sed -n 's/^\s*\(Local path\|Description\)\s*:\s*/    \1: /p'
done
