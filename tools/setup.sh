#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the program needs.
# Idempotent: when everything is there it installs nothing and prints nothing.
set -euo pipefail

packages=(
  cmake
  ccache
  ninja-build
  g++
  pkg-config
  qt6-base-dev
  qt6-svg-dev
  libqt6svg6
  libssl-dev
  ca-certificates
  openssl
  libgtest-dev
  libgmock-dev
  nginx
  tinyproxy
  curl
  # The fuzz targets' compiler and its libFuzzer runtime: both of one LLVM version, since a
  # runtime of another version does not link (tools/fuzz.sh names this compiler exactly).
  clang-14
  libclang-rt-14-dev
  xvfb
  xauth
  desktop-file-utils
  shared-mime-info
  libxml2-utils
  # The Debian package: dpkg-shlibdeps finds its dependencies, appstreamcli checks its
  # metainfo (tools/package.sh, tools/check-package.sh).
  dpkg-dev
  appstream
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
