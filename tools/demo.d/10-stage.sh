# The stage: a fresh prefix with the stand-in driver, and the medium setup runs from.

medium=$TAMRIX_BUILD/medium

step "The stage: a fresh Wine prefix, $WINEPREFIX, on display $DISPLAY"
echo "The Windows version Wine reports to the package's programs:"
reg query 'HKCU\Software\Wine\AppDefaults' /s |
    sed -n 's/^HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\\(.*\)/  \1/p; s/^ *Version *REG_SZ */    /p' | paste - - |
    grep -E '^  (setup|brindlex|Pupex|Tessarok)\.exe'
echo "The stand-in for the mouse driver behind \\\\.\\TAMRIX, started as a service:"
win sc query tamrix | sed -n 's/^ *\(SERVICE_NAME\|STATE\) *: */  \1: /p'

if [ "$TAMRIX_PRESET" = win32 ]; then
    step "The installation medium of the shipping build, in $medium"
    echo "(the same files are on the floppy image build/win32/tamrix-floppy.img; the \"_\" files"
    echo "are SZDD-compressed, as setup expands them with LZ32)"
    echo "Its programs are 32-bit, and $(wine --version) runs them in its WoW64 mode, as a 64-bit"
    echo "Windows would: their system folder is C:\\windows\\syswow64, and what they write under"
    echo "HKLM\\Software is their own 32-bit view of it, which the demo shows as they see it."
else
    step "The installation medium of the x86_64 test build, in $medium"
    echo "(\"_\" files are SZDD-compressed, as setup expands them with LZ32; the shipping build's"
    echo "medium is in build/win32/medium and on the floppy image build/win32/tamrix-floppy.img)"
fi
ls -l "$medium" | awk 'NR > 1 { printf "  %-14s %7d bytes\n", $9, $5 }'
snapshot start
