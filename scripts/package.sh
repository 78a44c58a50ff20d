#!/usr/bin/env bash
# Builds the Debian package (build/papyra_VERSION_ARCH.deb) from the default build, which installs
# to /usr: its programs know /usr/bin as their install folder (InstallDirs.h), and CPack strips
# them. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh >/dev/null
rm -f build/papyra_*.deb
(cd build && cpack -G DEB >/dev/null)
ls "$PWD"/build/papyra_*.deb
