#!/usr/bin/env bash
# Installs what Papyra needs to build, run and test on Debian 12. Safe to run again.
set -euo pipefail
packages=(
  # build
  g++ cmake make pkg-config ccache file
  qt6-base-dev qt6-qpa-plugins libcups2-dev libfontconfig-dev zlib1g-dev libxcb1-dev
  libgtest-dev libgmock-dev
  # the asan preset and the libFuzzer targets
  clang libclang-rt-14-dev
  # the Windows build, its tests under Wine (64-bit only here), the MSI
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 wixl
  # papyra-admin: its command line, its JSON, its PNG previews, its man pages; the package
  libcli11-dev nlohmann-json3-dev libpoppler-cpp-dev scdoc dpkg-dev
  # the package's test on a fresh Debian root
  debootstrap
  # run: fontconfig maps "Courier New" to Liberation Mono, which has its metrics
  fonts-liberation2 fontconfig
  # test: an isolated cupsd with its filters, PDF checks, an X server for window tests
  cups cups-client cups-bsd cups-filters poppler-utils xvfb x11-utils xdotool xauth
  # benchmark peers, and GNU time for their peak memory
  enscript ghostscript time
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# A fresh machine has no init system running: keep package scripts from starting services.
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
