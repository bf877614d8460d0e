# The stage: the prefix, its Windows versions and the stand-ins for the outside components.

step "The Wine prefix: $WINEPREFIX on display $DISPLAY"
echo "Windows version per program (Wine's per-executable settings):"
win reg query 'HKCU\Software\Wine\AppDefaults' /s |
    sed -n 's/^HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\\(.*\)/  \1/p; s/^ *Version *REG_SZ */    /p' | paste - -

step "The stand-in driver behind \\\\.\\TAMRIX runs as a demand-start service"
win sc query tamrix | grep -E 'SERVICE_NAME|STATE'

step "A control program sends the driver the package's four codes"
win "$bin/tamrixctl.exe" clear
win "$bin/tamrixctl.exe" send 2 09 00 00 01 01 3c 00
win "$bin/tamrixctl.exe" send 3 out 32
win "$bin/tamrixctl.exe" send 4
echo "What the driver recorded:"
win "$bin/tamrixctl.exe" record

step "The block creator makes \"ZOVUZEDU_SHARE_DATA\" and writes into it"
win "$bin/brindlex.exe" -c "peek 0 20; poke 0 9; poke 3 0x34; peek 0 20"
