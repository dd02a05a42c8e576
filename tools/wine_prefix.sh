#!/usr/bin/env bash
# Prepares a Wine prefix as the tests, the screenshots and run.sh use it: made when missing, its
# windows unmanaged (Xvfb has no window manager, and Wine would wait two seconds for each window it
# hides), and Wine's own fonts in the prefix's Fonts folder. Debian's Wine looks for its fonts beside
# its libraries, where the fonts-wine package does not put them; without them Wine draws the title
# bars' buttons in a stand-in for Marlett ("0 1 r") and the dialogs in another font than Tahoma.
# Usage: tools/wine_prefix.sh PREFIX
set -euo pipefail
export WINEPREFIX=$(realpath -m "$1") WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
for font in /usr/share/wine/fonts/*; do ln -sf "$font" "$fonts/"; done
