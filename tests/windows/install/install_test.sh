#!/usr/bin/env bash
# Runs the install driver in a fresh Wine prefix and home of their own under WORK (the user's
# Documents of the prefix lead into that home), the prefix prepared as tools/wine_prefix.sh prepares
# one. Run under xvfb-run. Usage: install_test.sh WORK DRIVER MSI NEWER_MSI
set -euo pipefail
work=$1 driver=$2 package=$3 newer=$4
export WINEPREFIX="$work/prefix" HOME="$work/home" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_DOCUMENTS_DIR
rm -rf "$work"
mkdir -p "$HOME"
trap 'wineserver -k 2>/dev/null || true' EXIT
"$(dirname "$0")/../../../tools/wine_prefix.sh" "$WINEPREFIX"
wine "$driver" "$(winepath -w "$package")" "$(winepath -w "$newer")"
