# Shared by the test session and the per-program runner: where the prefixes live and how
# one is brought up and ended. Sourced, never run.
#
# $TAMRIX_WINE is the harness folder inside the x86_64 build folder:
#   home/      HOME for Wine, so nothing is written outside the build tree
#   pristine/  the template prefix, made once per session
#   prefix/    the prefix most tests share
#   fresh/N/   a copy of the template for one test that needs a known state
#   logs/      what Wine and the daemons printed

wine_env() {
    export WINEPREFIX=$1
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml=d"
    export HOME=$TAMRIX_WINE/home
}

# The data folder of the Wine on PATH: Debian's in /usr, or the WoW64 one of the shipping build.
wine_data() { echo "$(dirname "$(command -v wine)")/../share/wine"; }

log() { echo "wine-harness: $*" >&2; }

# Quiet Wine: daemons started here inherit these descriptors, never the caller's, so CTest
# never waits on a services.exe or explorer.exe that holds its pipe open.
quiet() { "$@" </dev/null >>"$TAMRIX_WINE/logs/wine.log" 2>&1; }

make_pristine() {
    local p=$TAMRIX_WINE/pristine
    rm -rf "$p" "$TAMRIX_WINE/home"
    mkdir -p "$TAMRIX_WINE/home" "$TAMRIX_WINE/logs"
    (
        wine_env "$p"
        quiet wineboot -i
        quiet wine regedit /s "$(winepath_of "$TAMRIX_HARNESS/prefix.reg")"
        quiet wine reg add 'HKLM\System\CurrentControlSet\Services\tamrix' /v ImagePath \
            /t REG_EXPAND_SZ /d 'C:\standins\tamrix.sys' /f
        wineserver -k; wineserver -w
        # Wine draws the caption buttons with Marlett, which Debian's Wine does not find in
        # its own font folder; from the prefix's font folder it does. The dialogs are laid
        # out for Windows 95's 8-point "MS Sans Serif", a bitmap font: from the prefix's
        # folder Wine renders that face with its bitmap twin, as Windows 95 does, where
        # Debian's Wine would otherwise take a wider TrueType face through fontconfig.
        cp "$(wine_data)/fonts/marlett.ttf" "$(wine_data)/fonts/sserife.fon" "$p/drive_c/windows/Fonts/"
        mkdir -p "$p/drive_c/standins"
        cp "$TAMRIX_BIN/tamrix.sys" "$p/drive_c/standins/tamrix.sys"
        unlink_user_folders "$p"
    )
}

# A new prefix links the user's Desktop, Documents... to $HOME; make them plain folders so
# that a test writing there stays inside its prefix.
unlink_user_folders() {
    local l
    for l in "$1"/drive_c/users/*/*; do
        if [ -L "$l" ]; then rm "$l" && mkdir "$l"; fi
    done
}

winepath_of() { echo "Z:${1//\//\\}"; }

# Copy the template into place; never hard links, which would share the registry files.
reset_prefix() {
    rm -rf "$1"
    cp -a "$TAMRIX_WINE/pristine" "$1"
}

# The daemons (wineserver, services, explorer) and the stand-in driver, started before any
# test so that none of them is a child of a test.
start_prefix() {
    (
        wine_env "$1"
        wineserver -p
        quiet wine cmd /c exit
        # Explorer owns the desktop and the tray, and leaves a second after the last window
        # goes; a hidden window that stays keeps it up between tests. That window is the
        # end-of-session sentinel, so a restart requested in this prefix shows in its log.
        local sentinel_log=$TAMRIX_WINE/logs/$(basename "$1").endsession
        rm -f "$sentinel_log"
        quiet wine "$TAMRIX_BIN/endsession_sentinel.exe" "$(winepath_of "$sentinel_log")" &
        local i
        for i in $(seq 100); do
            grep -q started "$sentinel_log" 2>/dev/null && break
            sleep 0.1
        done
        quiet wine net start "$TAMRIX_DRIVER_SERVICE" ||
            { log "the stand-in driver did not start; see $TAMRIX_WINE/logs/wine.log"; return 1; }
    )
}

stop_prefix() {
    [ -d "$1" ] || return 0
    (
        wine_env "$1"
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    )
}
