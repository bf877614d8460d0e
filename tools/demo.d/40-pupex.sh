# The tray utility: the puppy in the notification area, the block "PUPEX_SHARE_DATA" it fills
# from the serial driver's parameters, the hook library it starts, and the Lumivane switch.

services='HKLM\SYSTEM\CurrentControlSet\Services'
hookrecord='HKCU\Software\Tamrix Stand-ins\Pupex.dll'

step "Pupex.exe ends at once while no driver of the package starts with the system"
win reg delete "$services\\Brellsio" /f >/dev/null 2>&1 || true
win reg delete "$services\\Tovrexa" /f >/dev/null 2>&1 || true
win "$bin/Pupex.exe" 'C:\Tamrix'
echo "  exit code $?, and the tray holds:"
win "$bin/autodrive.exe" tray-tips

step "The serial driver service Brellsio set to start with the system (Start = 1); its Parameters give the middle button 3"
win reg add "$services\\Brellsio" /v Start /t REG_DWORD /d 1 /f >/dev/null
win reg add "$services\\brellsio\\Parameters" /v "Middle Button" /t REG_DWORD /d 3 /f >/dev/null
win reg delete "$hookrecord" /f >/dev/null 2>&1 || true
win reg query "$services\\Brellsio" /v Start | sed -n 's/^ \{4\}/  /p'

step "Pupex.exe (running as Windows NT 4.0) starts: a hidden frame and the puppy in the tray"
win "$bin/Pupex.exe" 'C:\Tamrix' &
pupex=$!
win "$bin/autodrive.exe" wait "Lumivane Application" >/dev/null
win "$bin/autodrive.exe" tray-tips

step "The block \"PUPEX_SHARE_DATA\": word 6 the Lumivane switch (1 = on), 7/9/10 from the driver's parameters"
win "$bin/pupexctl.exe" block
echo "The missing parameters written with their defaults:"
win reg query "$services\\brellsio\\Parameters" | sed -n 's/^ \{4\}/  /p'

step "The stand-in hook library Pupex.dll was started (InitTestDLL) and saw the filled block"
win reg query "$hookrecord" | sed -n 's/^ \{4\}/  /p'

step "\"&Disable\" chosen from the puppy's menu: word 6 flips to 0"
win "$bin/autodrive.exe" tray-menu 1
sleep 0.5
win "$bin/pupexctl.exe" block | grep 'word  6'

step "The session ends: the hook library is told (CloseTestDLL), the puppy leaves the tray and Pupex.exe ends"
win "$bin/pupexctl.exe" endsession
wait "$pupex" || true
win reg query "$hookrecord" /v CloseCalls | sed -n 's/^ \{4\}/  /p'
echo "  the tray holds:"
win "$bin/autodrive.exe" tray-tips
win reg delete "$services\\Brellsio" /f >/dev/null 2>&1 || true
win reg delete "$services\\brellsio" /f >/dev/null 2>&1 || true
