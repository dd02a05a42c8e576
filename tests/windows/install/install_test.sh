#!/usr/bin/env bash
# Runs the install driver in a fresh Wine prefix and home of their own under WORK (the user's
# Documents of the prefix lead into that home), with windows unmanaged, since Xvfb has no window
# manager. Run under xvfb-run. Usage: install_test.sh WORK DRIVER MSI NEWER_MSI
set -euo pipefail
work=$1 driver=$2 package=$3 newer=$4
export WINEPREFIX="$work/prefix" HOME="$work/home" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_DOCUMENTS_DIR
rm -rf "$work"
mkdir -p "$HOME"
trap 'wineserver -k 2>/dev/null || true' EXIT
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
wine "$driver" "$(winepath -w "$package")" "$(winepath -w "$newer")"
