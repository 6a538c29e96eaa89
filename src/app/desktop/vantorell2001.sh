#!/bin/sh
# Starts Vantorell 2001 on the user's own program folder, which holds the settings
# (propertys.ini), the query history (Query.His) and the engine folders Site and User. The
# folder is made from the installed engines the first time; later the user's copies are kept,
# so engines switched off or added stay so. VANTORELL_APPPATH, when set, names another folder.
here="$(dirname "$(readlink -f "$0")")"
shipped="$here/../share/vantorell2001"
if [ -n "${VANTORELL_APPPATH:-}" ]; then
  exec "$here/Vantorell2001" "$@"
fi
folder="${XDG_DATA_HOME:-$HOME/.local/share}/Vantorell2001"
if [ ! -d "$folder/Site" ]; then
  mkdir -p "$folder" && cp -R "$shipped/Site" "$shipped/User" "$folder/"
fi
cp -f "$shipped/Vantorell2001.html" "$folder/" 2>/dev/null
exec "$here/Vantorell2001" --app-path "$folder" "$@"
