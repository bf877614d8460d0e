# The Windows NT remover: Tessarok removes the package for the serial port, and the system's
# own serial mouse driver starts with the system again.

step "Tessarok, as Windows NT 4.0: the serial mouse port chosen, OK, then No to the restart"
win "$bin/Tessarok.exe" &
remover=$!
auto wait "$remover_title" >/dev/null
# The icon's text is its resource number, which reads as two odd bytes from outside.
auto controls "$remover_title" | LC_ALL=C sed 's/"[^"]*[^ -~][^"]*"/(the program icon)/'
auto click "$remover_title" 1001
shot "$remover_title" tessarok-port "Tessarok: the mouse port to remove the driver of"
auto click "$remover_title" 1
auto wait "$remover_restart" >/dev/null
shot "$remover_restart" tessarok-restart "Tessarok: done, and the restart question"
auto msgbox "$remover_restart" 7 | tr '\r\n' '  '
echo
wait "$remover"
snapshot removed

step "What Tessarok removed"
changes pupex removed
echo "Sermouse starts with the system again: Start = $(reg query "$services_key\\Sermouse" /v Start |
    sed -n 's/^ *Start *REG_DWORD *//p')"
echo "What stays: the Windows 95 entries of the installation (device, class key, system.ini,"
echo "$install_folder with the files the NT remover does not name), which only the Windows 95"
echo "uninstaller knows."
