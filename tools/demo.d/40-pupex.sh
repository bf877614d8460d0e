# The tray utility as Windows NT 4.0: with the package's serial driver service starting with
# the system, the puppy goes into the tray, fills "PUPEX_SHARE_DATA", starts the hook library,
# and its menu switches Lumivane off and on.

# tray_choice ITEM [NAME CAPTION]: chooses item ITEM of the puppy's menu; with NAME, the menu
# becomes the report's picture NAME.png first.
tray_choice() {
    if [ $# -eq 1 ]; then
        auto tray-menu "$1"
    else
        auto tray-menu "$1" 10000 "$(picture "$2")"
        shown "$2" "$3" "the puppy's menu"
    fi
}

step "Now as Windows NT 4.0: what the package's NT installation adds, which no program of this package writes"
echo "The serial driver Brellsio as a service that starts with the system, in place of the"
echo "system's Sermouse; the NT property sheet handler; the NT-only files; the uninstall entry"
echo "that runs the NT remover; the common shortcuts, copies of those setup made for the user."
echo "(ntinstall.exe puts them, with the code the remover's tests put the installation with.)"
win "$bin/ntinstall.exe" --port serial --user-shortcuts
snapshot nt

step "What the NT installation added"
changes setting nt

step "$install_folder\\Pupex.exe starts from its start-up entry, as Windows NT 4.0"
echo "Its start-up entry: $(reg query "$run_key" /v Lumivane | sed -n 's/^ *Lumivane *REG_SZ *//p')"
win "$install_folder\\Pupex.exe" "$install_folder" &
pupex=$!
auto wait "$pupex_frame" >/dev/null
echo "A hidden frame \"$pupex_frame\", and the puppy in the tray:"
auto tray-tips
echo "The block \"$pupex_block\": word 6 is the Lumivane switch (1 = on); 7, 9 and 10 come from the driver's parameters"
win "$bin/pupexctl.exe" block
echo "The hook library $install_folder\\Pupex.dll was started (InitTestDLL) and saw the filled block:"
values "$hook_record_key"

step "The puppy's menu: About"
tray_choice 0 pupex-menu "Pupex: the puppy's menu"
auto wait "$pupex_about" >/dev/null
shot "$pupex_about" pupex-about "Pupex: the About dialog"
auto click "$pupex_about" 1

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
values "$hook_record_key" | grep CloseCalls
echo "The tray holds: $(auto tray-tips | wc -l) icons"
snapshot pupex
