# The road of one setting: a control program loads the mouse interface library, gives the
# middle button "Close Windows", and the next control program finds it again.

rodlink="Z:${bin//\//\\}\\rodlink.dll"
step "A control program loads rodlink.dll, calls InitButton, gives the middle button \"Close Windows\" (index 9) and calls UpdateButtonStatus"
win "$bin/tamrixctl.exe" clear
win reg delete 'HKCU\Control Panel\Tamrix\Mouse' /f >/dev/null || true
win "$bin/brindlex.exe" -c "load $rodlink; call InitButton; poke 0 9; call UpdateButtonStatus; peek 0 8"

step "What the library saved under HKEY_CURRENT_USER\\Control Panel\\Tamrix\\Mouse"
win reg query 'HKCU\Control Panel\Tamrix\Mouse' | sed -n 's/^ \{4\}/  /p'

step "What the driver received: the key table (code 1), then the settings (code 2) from each call"
win "$bin/tamrixctl.exe" record

step "The next control program to start: InitButton reads \"Close Windows\" back as index 9 and sends it"
win "$bin/tamrixctl.exe" clear
win "$bin/brindlex.exe" -c "load $rodlink; call InitButton; peek 0 8"
win "$bin/tamrixctl.exe" record
