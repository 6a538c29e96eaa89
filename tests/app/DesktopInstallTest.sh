#!/bin/sh
# Installs the desktop files into a scratch prefix and checks what a file manager relies on to
# open a results file with the window: the MIME type of ".vnr" files, the desktop entry that
# declares it and passes the file, and the launcher that hands the file to the window.
# Usage: DesktopInstallTest.sh BUILD-FOLDER
set -eu
build="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix" --component desktop >"$scratch/install.log" 2>&1 ||
  fail "cmake --install: $(cat "$scratch/install.log")"
share="$prefix/share"
type="application/x-vantorell-results"

xml="$share/mime/packages/vantorell2001.xml"
[ -f "$xml" ] || fail "no MIME package $xml"
grep -q "<mime-type type=\"$type\">" "$xml" || fail "no type $type in $xml"
grep -q '<glob pattern="\*\.vnr"/>' "$xml" || fail "no glob *.vnr in $xml"
if command -v xmllint >/dev/null 2>&1; then
  xmllint --noout "$xml" || fail "$xml is not well-formed"
fi
# The install builds the MIME database from the package when the tool is there.
if command -v update-mime-database >/dev/null 2>&1; then
  grep -qx "50:$type:\*\.vnr" "$share/mime/globs2" || fail "the MIME database does not map *.vnr"
fi

desktop="$share/applications/vantorell2001.desktop"
[ -f "$desktop" ] || fail "no desktop entry $desktop"
grep -Eq "^MimeType=([^;]*;)*$type;" "$desktop" || fail "the desktop entry does not declare $type"
exec_line="$(sed -n 's/^Exec=//p' "$desktop")"
case " $exec_line " in
*" %f "*) ;;
*) fail "Exec does not pass the file: $exec_line" ;;
esac
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
fi
if command -v update-desktop-database >/dev/null 2>&1; then
  grep -qx "$type=vantorell2001.desktop;" "$share/applications/mimeinfo.cache" ||
    fail "the desktop database does not offer the window for $type"
fi

metainfo="$share/metainfo/example.vantorell.vantorell2001.metainfo.xml"
[ -f "$metainfo" ] || fail "no AppStream metainfo $metainfo"
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$metainfo" >"$scratch/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$scratch/appstream.log")"
fi

# Open a results file as a file manager does: the Exec line with %f replaced by the file, on
# the installed launcher, with a stand-in window that writes down its arguments.
cat >"$prefix/bin/Vantorell2001" <<'STANDIN'
#!/bin/sh
for argument in "$@"; do printf '%s\n' "$argument"; done >"$RECORDED_ARGUMENTS"
STANDIN
chmod +x "$prefix/bin/Vantorell2001"
results="$scratch/My results/cats and dogs.vnr"
mkdir -p "$(dirname "$results")"
: >"$results"
set --
for word in $exec_line; do
  if [ "$word" = "%f" ]; then
    set -- "$@" "$results"
  else
    set -- "$@" "$word"
  fi
done
home="$scratch/home"
env -u VANTORELL_APPPATH HOME="$home" XDG_DATA_HOME="$home/data" PATH="$prefix/bin:$PATH" \
  RECORDED_ARGUMENTS="$scratch/arguments" "$@" || fail "the launcher failed"
expected="$(printf '%s\n' --app-path "$home/data/Vantorell2001" "$results")"
[ "$(cat "$scratch/arguments")" = "$expected" ] ||
  fail "the window got: $(cat "$scratch/arguments")"
[ -f "$home/data/Vantorell2001/Vantorell2001.html" ] || fail "the program folder has no help page"
[ -d "$home/data/Vantorell2001/Site" ] || fail "the program folder has no engines"
echo "desktop install: ok"
