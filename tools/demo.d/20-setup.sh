# The Windows 95 installation: setup.exe runs from the medium (its current directory), is
# cancelled once and resumed, and installs with the default choices.

step "setup.exe from the medium, as Windows 95"
(cd "$medium" && win ./setup.exe) &
setup_run=$!
auto wait "$setup_welcome" 20000
shot "$setup_welcome" setup-welcome "setup: the Welcome dialog"
echo "About, from the Welcome dialog's system menu:"
auto syscommand "$setup_welcome" 0x10
auto wait "$setup_about" >/dev/null
shot "$setup_about" setup-about "setup: About, from the system menu"
auto click "$setup_about" 1
auto gone "$setup_about"
if [ -n "${DEMO_BY_HAND:-}" ]; then
    echo "Click through the wizard on display $DISPLAY; the demo goes on when setup ends."
    echo "(The tray utility's steps need the Lumivane function installed.)"
    wait "$setup_run"
else
    echo "Cancel, then Resume:"
    auto click "$setup_welcome" 2
    auto wait "$setup_exit"
    shot "$setup_exit" setup-exit "setup: Cancel asks first"
    auto click "$setup_exit" 1
    auto wait "$setup_welcome"
    echo "Next: the installation type, with its defaults"
    auto click "$setup_welcome" 1
    auto wait "$setup_type"
    shot "$setup_type" setup-type "setup: the installation type"
    auto controls "$setup_type" | grep -E 'Port|Lumivane'
    # The copy takes a moment only: the picture is waited for before Next is pressed.
    shot "Copy files" setup-copy "setup: copying the files" >"$out/copy-shot.txt" &
    copy_shot=$!
    sleep 1
    auto click "$setup_type" 1
    wait "$copy_shot" || true
    cat "$out/copy-shot.txt" && rm "$out/copy-shot.txt"
    auto wait "$setup_finished" 30000
    shot "$setup_finished" setup-finished "setup: done, and the restart question"
    echo "\"Reboot Now?\" answered No"
    auto click "$setup_finished" 2
    wait "$setup_run"
fi
snapshot installed

step "What setup changed"
changes start installed

step "The Start menu shortcuts, read back with lnkinfo"
find "$drive_c" -ipath "*/programs/$start_menu_folder/*.lnk" | sort | while read -r link; do
    echo "  ${link#"$drive_c/"}"
    lnkinfo "$link" | sed -n 's/^\s*\(Local path\|Description\)\s*:\s*/    \1: /p'
done
