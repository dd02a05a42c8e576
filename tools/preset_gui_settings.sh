#!/usr/bin/env bash
# Prepares a Wine prefix for a first run of the Windows GUI against the simulated instrument: the
# program's main settings file gets the "Connect" keys of LAN 127.0.0.1 (so that Configure >
# Connection... > Connect works at once) and, when given, the database to open. An existing
# settings file keeps its connection; only the database is set again.
# Usage: tools/preset_gui_settings.sh WINEPREFIX [DATABASE]
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
database=${2:-}
"$(dirname "$0")/wine_prefix.sh" "$WINEPREFIX"
folder="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Veltrona/Corvane"
ini="$folder/Corvane.ini"
if [ ! -f "$ini" ]; then
    mkdir -p "$folder"
    printf '[Init]\r\nCreated=%s\r\n[Connect]\r\nInterface=2\r\nComPort=\r\nBaudRate=0\r\nIPAddr=127.0.0.1\r\n' \
        "$(date +'%H:%M:%S %-d/%-m/%Y')" >"$ini"
fi
if [ -n "$database" ]; then
    python3 - "$ini" "$(winepath -w "$(realpath "$database")")" <<'PY'
import sys
path, database = sys.argv[1], sys.argv[2]
lines = open(path, newline="").read().replace("\r\n", "\n").split("\n")
out, section, done = [], "", False
for line in lines:
    if line.startswith("["):
        if section.lower() == "[init]" and not done:
            out.append("DatabaseFile=" + database)
            done = True
        section = line.strip()
    if section.lower() == "[init]" and line.lower().startswith("databasefile="):
        continue
    out.append(line)
if not done:
    if section.lower() != "[init]":
        out.append("[Init]")
    out.append("DatabaseFile=" + database)
open(path, "w", newline="").write("\r\n".join(l for l in out if l != "") + "\r\n")
PY
fi
