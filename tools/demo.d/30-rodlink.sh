# The road of one setting: a control program loads the mouse interface library the setup
# installed, gives the middle button "Close Windows", and the next control program to start
# finds it again and hands it to the driver.

rodlink="$install_folder\\rodlink.dll"
control="$install_folder\\brindlex.exe"

step "A control program ($control) loads $rodlink: InitButton, middle button \"Close Windows\" (index 9), UpdateButtonStatus"
win "$bin/tamrixctl.exe" clear
win "$control" -c "load $rodlink; call InitButton; poke 0 9; call UpdateButtonStatus; peek 0 8"
snapshot setting

step "What the setting changed"
changes installed setting
echo "What the driver received: the key table (code 1), then the settings (code 2) from each call"
win "$bin/tamrixctl.exe" record

step "The next control program to start: InitButton reads \"Close Windows\" back as index 9 and sends it to the driver"
win "$bin/tamrixctl.exe" clear
win "$control" -c "load $rodlink; call InitButton; peek 0 8"
win "$bin/tamrixctl.exe" record
