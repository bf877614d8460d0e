# The tray utility as Windows NT 4.0: with the package's serial driver service starting with
# the system, the puppy goes into the tray, fills "PUPEX_SHARE_DATA", starts the hook library,
# and its menu switches Lumivane off and on.

services='HKLM\SYSTEM\CurrentControlSet\Services'
hookrecord='HKCU\Software\Tamrix Stand-ins\Pupex.dll'
nt_class='HKCR\CLSID\{4753B0A0-79BB-101B-AE4B-00AA00373B20}'
nt_handler='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Controls Folder\Mouse\shellex\PropertySheetHandlers\Tamrix CPL'
reg_set() { reg add "$@" /f >/dev/null; }
# tray_choice ITEM [NAME CAPTION]: chooses item ITEM of the puppy's menu; with NAME, the menu
# becomes the report's picture NAME.png first.
tray_choice() {
    if [ $# -eq 1 ]; then
        auto tray-menu "$1"
    else
        auto tray-menu "$1" 10000 "$(picture "$2")"
        if [ -f "$out/$2.png" ]; then
            echo "[screenshot $2.png: $3]"
        else
            echo "(no picture of the puppy's menu: it did not show on the screen while it was there)"
        fi
    fi
}
# The folder of "Common Programs" on the Unix side.
common_programs() {
    winepath -u "$(reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
        /v 'Common Programs' | sed -n 's/^ *Common Programs *REG_SZ *//p')"
}

step "Now as Windows NT 4.0: what the package's NT installation adds, which no program of this package writes"
echo "The serial driver Brellsio as a service that starts with the system, in place of the"
echo "system's Sermouse; the NT property sheet handler; the NT-only files; the common shortcuts."
reg_set "$services\\brellsio" /v Type /t REG_DWORD /d 1
reg_set "$services\\brellsio" /v Start /t REG_DWORD /d 1
reg_set "$services\\brellsio" /v ImagePath /d 'System32\Drivers\brellsio.sys'
for subkey in Enum Security Description; do
    reg_set "$services\\brellsio\\$subkey" /v Installed /t REG_DWORD /d 1
done
reg_set "$services\\brellsio\\Parameters" /v "Middle Button" /t REG_DWORD /d 3
reg_set "$services\\Sermouse" /v Type /t REG_DWORD /d 1
reg_set "$services\\Sermouse" /v Start /t REG_DWORD /d 3
reg_set "$nt_class" /ve /d 'Tamrix mouse property sheet'
reg_set "$nt_class\\InProcServer32" /ve /d 'C:\Tamrix\Morvane.dll'
reg_set "$nt_handler" /ve /d '{4753B0A0-79BB-101B-AE4B-00AA00373B20}'
for file in Morvane.dll Glovreth.exe Brellsio.sys Tovrexa.sys; do
    win cmd /c "echo NT file $file> C:\\Tamrix\\$file"
done
mkdir -p "$drive_c/windows/$system_folder/drivers"
echo "NT driver" >"$drive_c/windows/$system_folder/drivers/brellsio.sys"
# The NT installation puts the shortcuts that setup made for the user into the common folder.
mkdir -p "$(common_programs)/Tamrix"
for file in Lumivane.Lnk Uninstall.Lnk; do
    cp "$(find "$drive_c/users" -ipath "*/programs/tamrix/$file" | head -n1)" "$(common_programs)/Tamrix/$file"
done
snapshot nt

step "What the NT installation added"
changes setting nt

step "C:\\Tamrix\\Pupex.exe starts from its start-up entry, as Windows NT 4.0"
echo "Its start-up entry: $(reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run' /v Lumivane |
    sed -n 's/^ *Lumivane *REG_SZ *//p')"
win 'C:\Tamrix\Pupex.exe' 'C:\Tamrix' &
pupex=$!
auto wait "Lumivane Application" >/dev/null
echo "A hidden frame \"Lumivane Application\", and the puppy in the tray:"
auto tray-tips
echo "The block \"PUPEX_SHARE_DATA\": word 6 is the Lumivane switch (1 = on); 7, 9 and 10 come from the driver's parameters"
win "$bin/pupexctl.exe" block
echo "The hook library C:\\Tamrix\\Pupex.dll was started (InitTestDLL) and saw the filled block:"
values "$hookrecord"

step "The puppy's menu: About"
tray_choice 0 pupex-menu "Pupex: the puppy's menu"
auto wait "About Lumivane" >/dev/null
shot "About Lumivane" pupex-about "Pupex: the About dialog"
auto click "About Lumivane" 1

step "The puppy's menu: \"&Disable\" switches Lumivane off"
tray_choice 1
sleep 0.5
win "$bin/pupexctl.exe" block | grep 'word  6'

step "The puppy's menu again: now \"&Enable\", and Lumivane is on again"
tray_choice 1 pupex-menu-enable "Pupex: the menu while Lumivane is off"
sleep 0.5
win "$bin/pupexctl.exe" block | grep 'word  6'

step "The session ends: Pupex tells the hook library (CloseTestDLL), leaves the tray and ends"
win "$bin/pupexctl.exe" endsession
wait "$pupex" || true
values "$hookrecord" | grep CloseCalls
echo "The tray holds: $(auto tray-tips | wc -l) icons"
snapshot pupex
