# The Windows NT remover: with the package's NT installation in place, Tessarok removes it
# for the serial port, and the system's own serial mouse driver starts with the system again.

nt_run='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
nt_uninstall='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Lumivane'
nt_class='HKCR\CLSID\{4753B0A0-79BB-101B-AE4B-00AA00373B20}'
nt_handler='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Controls Folder\Mouse\shellex\PropertySheetHandlers\Tamrix CPL'
nt_services='HKLM\SYSTEM\CurrentControlSet\Services'
nt_title='Uninstallation Mouse Driver...'
nt_files='Morvane.dll Glovreth.exe Pupex.exe Pupex.dll Brellsio.sys Tovrexa.sys Tamrix.hlp Quellbox.inf'

reg_set() { win reg add "$@" /f >/dev/null; }
# "present" or "removed" for a registry key.
key_state() { if win reg query "$1" >/dev/null 2>&1; then echo present; else echo removed; fi; }
# The folder of "Common Programs" on the Unix side.
common_programs() {
    winepath -u "$(win reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
        /v 'Common Programs' | sed -n 's/^ *Common Programs *REG_SZ *//p')"
}
sermouse_start() {
    win reg query "$nt_services\\Sermouse" /v Start | sed -n 's/^ *Start *REG_DWORD *//p'
}
show_installation() {
    local key
    echo "  Run \"Lumivane\": $(win reg query "$nt_run" /v Lumivane >/dev/null 2>&1 && echo present || echo removed)"
    for key in "$nt_uninstall" "$nt_class" "$nt_handler" "$nt_services\\brellsio"; do
        echo "  $key: $(key_state "$key")"
    done
    echo "  Sermouse Start: $(sermouse_start)"
    echo "  C:\\Tamrix, the NT file set: $(nt_files_left)"
    echo "  C:\\Tamrix, other files: $(other_files)"
    for file in brellsio.sys tovrexa.sys; do
        echo "  system32\\drivers\\$file: $(file_state "$WINEPREFIX/drive_c/windows/system32/drivers/$file")"
    done
    echo "  Start menu folder Tamrix: $(folder_state "$(common_programs)/Tamrix")"
}
# Which of the NT file set is in C:\Tamrix; Wine matches names without regard to case.
nt_files_left() {
    local left
    left=$(ls "$WINEPREFIX/drive_c/Tamrix" 2>/dev/null | grep -ixF -f <(printf '%s\n' $nt_files) | tr '\n' ' ' || true)
    echo "${left:-none left}"
}
other_files() {
    local other
    other=$(ls "$WINEPREFIX/drive_c/Tamrix" 2>/dev/null | grep -ivxF -f <(printf '%s\n' $nt_files) | tr '\n' ' ' || true)
    echo "${other:-none}"
}
file_state() { if [ -e "$1" ]; then echo present; else echo removed; fi; }
# A folder's files on one line, or "removed".
folder_state() { if [ -d "$1" ]; then ls "$1" | tr '\n' ' '; else echo removed; fi; }

step "Windows NT 4.0 mode: the remover runs as NT 4.0 (Wine's per-program version)"
win reg query 'HKCU\Software\Wine\AppDefaults\Tessarok.exe' /v Version | sed -n 's/^ *Version *REG_SZ */  Tessarok.exe: /p'

step "The package's NT installation in place: entries, the serial driver's service, files and shortcuts"
reg_set "$nt_run" /v Lumivane /d 'C:\Tamrix\Pupex.exe C:\Tamrix'
reg_set "$nt_uninstall" /v DisplayName /d Lumivane
reg_set "$nt_uninstall" /v UninstallString /d 'C:\Tamrix\Glovreth.exe'
reg_set "$nt_class" /ve /d 'Tamrix mouse property sheet'
reg_set "$nt_class\\InProcServer32" /ve /d 'C:\Tamrix\Morvane.dll'
reg_set "$nt_handler" /ve /d '{4753B0A0-79BB-101B-AE4B-00AA00373B20}'
reg_set "$nt_services\\brellsio" /v Type /t REG_DWORD /d 1
reg_set "$nt_services\\brellsio" /v Start /t REG_DWORD /d 1
reg_set "$nt_services\\brellsio" /v ImagePath /d 'System32\Drivers\brellsio.sys'
for subkey in Enum Parameters Security Description; do
    reg_set "$nt_services\\brellsio\\$subkey" /v Installed /t REG_DWORD /d 1
done
reg_set "$nt_services\\Sermouse" /v Type /t REG_DWORD /d 1
reg_set "$nt_services\\Sermouse" /v Start /t REG_DWORD /d 3
mkdir -p "$WINEPREFIX/drive_c/Tamrix" "$(common_programs)/Tamrix"
# Written through Wine, which finds a file of the Windows 95 set under another case as the same.
for file in $nt_files; do
    win cmd /c "echo installed $file> C:\\Tamrix\\$file"
done
for file in brellsio.sys tovrexa.sys; do
    echo "NT driver $file" >"$WINEPREFIX/drive_c/windows/system32/drivers/$file"
done
for file in Lumivane.Lnk Uninstall.Lnk; do
    echo "shortcut $file" >"$(common_programs)/Tamrix/$file"
done
show_installation

step "Tessarok: the serial mouse port chosen, OK, then No to the restart"
win "$bin/Tessarok.exe" &
remover=$!
# The icon's text is its resource number, which reads as two odd bytes from outside.
win "$bin/autodrive.exe" controls "$nt_title" | LC_ALL=C sed 's/"[^"]*[^ -~][^"]*"/(the program icon)/'
win "$bin/autodrive.exe" click "$nt_title" 1001
win "$bin/autodrive.exe" click "$nt_title" 1
win "$bin/autodrive.exe" msgbox "Uninstall Successfully..." 7 | tr '\r\n' '  '
echo
wait "$remover"

step "What the removal left: the NT entries and files gone, \"Sermouse\" starting with the system again (Start 1)"
show_installation
if [ -d "$WINEPREFIX/drive_c/Tamrix" ]; then
    echo "  C:\\Tamrix itself stays: it still holds files that the NT remover does not name"
fi
