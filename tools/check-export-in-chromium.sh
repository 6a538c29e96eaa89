#!/usr/bin/env bash
# Renders the exported HTML page and the browse pages of a results file full of hostile texts in
# headless Chromium and checks the DOM the browser built: every result link is there, no title,
# summary, address or engine name became markup, and no link runs script. Not part of the test
# suite: Chromium is too heavy for CI. Installs Debian's chromium when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C

tools/setup.sh
if ! command -v chromium >/dev/null 2>&1; then
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
  fi
  echo "Installing: chromium"
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" apt-get install -y -qq chromium >/dev/null
fi

build=build-export-check
tools/build.sh "$build" -DCMAKE_BUILD_TYPE=Release -DVANTORELL_BUILD_TESTS=OFF \
  -DVANTORELL_BUILD_BENCH=OFF --target vantorell-search >/dev/null
cli="$PWD/$build/src/cli/vantorell-search"

work="$(mktemp -d)"
profile="$(mktemp -d)"
trap 'rm -rf "$work" "$profile"' EXIT

# One field of a results record: the text, then zero bytes up to the field's width.
field() {
  local text="$1" width="$2"
  if [ "${#text}" -ge "$width" ]; then
    echo "a text of ${#text} bytes does not fit a field of $width: $text" >&2
    exit 1
  fi
  printf '%s' "$text"
  head -c "$((width - ${#text}))" /dev/zero
}
record() {
  field "$1" 200
  field "$2" 300
  field "$3" 700
  field "$4" 21
}

{
  record "<script>document.title='pwned'</script>Title one" "http://127.0.0.1:9/one?a=1&b=2" \
    "<img src=x onerror=alert(1)>" "</td></tr><b>E1</b>"
  record "Quote \" breaker" "http://127.0.0.1:9/two\" onmouseover=\"alert(2)" \
    "</font></td></tr></table><iframe src=x></iframe>" "E2"
  record "Mixed case script" "JaVaScRiPt:alert(3)" "s3" "E3"
  record "Data address" "data:text/html,<script>alert(4)</script>" "s4" "E4"
  record "Hidden script" "$(printf ' \tjava\tscript:alert(5)')" "s5" "E5"
  record "VB script" "vbscript:msgbox(6)" "s6" "E6"
  record "Plain result" "http://www.example.com/plain" "plain summary 100% & more" "E7"
} >"$work/hostile.vnr"
results=7
script_links=4

"$cli" convert "$work/hostile.vnr" "$work/page.htm"
mkdir "$work/browse"
"$cli" convert "$work/hostile.vnr" --browse "$work/browse"

# A page that ran script could open a dialog, which stops Chromium from finishing: the time
# limit turns that into an empty DOM, which fails the checks below.
dump() {
  timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
    --disable-component-update --disable-sync --no-first-run --user-data-dir="$profile" \
    --dump-dom "file://$1" 2>/dev/null || echo "Chromium did not render $1" >&2
}

failures=0
count() {
  grep -o -i -E -e "$2" <<<"$1" | wc -l
}
expect() {
  local name="$1" actual="$2" wanted="$3"
  if [ "$actual" -eq "$wanted" ]; then
    echo "ok   $name: $actual"
  else
    echo "FAIL $name: $actual, expected $wanted"
    failures=$((failures + 1))
  fi
}

# In a serialized DOM every "<" of a text is written as "&lt;", so each "<" left is an element.
check_list() {
  local label="$1" dom="$2" links="$3"
  expect "$label: result tables" "$(count "$dom" '<table border="1"')" "$results"
  expect "$label: links" "$(count "$dom" '<a href=')" "$links"
  expect "$label: unlinked script addresses" "$(count "$dom" '<a href="#[[:space:]]*"')" "$script_links"
  expect "$label: first address kept" "$(count "$dom" 'href="http://127\.0\.0\.1:9/one\?a=1&amp;b=2')" 1
  expect "$label: script elements" "$(count "$dom" '<script')" 0
  expect "$label: img elements" "$(count "$dom" '<img')" 0
  expect "$label: iframe elements" "$(count "$dom" '<iframe')" 0
  expect "$label: b elements" "$(count "$dom" '<b>')" 0
  expect "$label: event attributes" "$(count "$dom" ' on[a-z]+="')" 0
  expect "$label: script links" "$(count "$dom" 'href="[[:space:]]*(javascript|data|vbscript):')" 0
  expect "$label: title shown as text" "$(count "$dom" "&lt;script&gt;document\.title='pwned'&lt;/script&gt;Title one")" 1
  expect "$label: title not run" "$(count "$dom" '<title>pwned')" 0
}

page_dom="$(dump "$work/page.htm")"
check_list "saved page" "$page_dom" $((results + 1))

frameset_dom="$(dump "$work/browse/htmtemp.htm")"
expect "frameset: frames" "$(count "$frameset_dom" '<frame ')" 2
expect "frameset: list frame" "$(count "$frameset_dom" "src=\"$work/browse/htmtempb\.htm\"")" 1
expect "frameset: top frame" "$(count "$frameset_dom" "src=\"$work/browse/htmtempt\.htm\"")" 1
# Each frame's file must render as a page, not as its source text.
top_dom="$(dump "$work/browse/htmtempt.htm")"
expect "top page: rendered as HTML" "$(count "$top_dom" '<base target="_self">')" 1
list_dom="$(dump "$work/browse/htmtempb.htm")"
check_list "browse list" "$list_dom" "$results"
expect "browse list: base target" "$(count "$list_dom" '<base target="top">')" 1

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
