#!/usr/bin/env bash
# Builds the Debian package (build-package/papyra_VERSION_ARCH.deb): a Release build installed to
# /usr, its dependencies found by dpkg-shlibdeps. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# The programs know /usr/bin as their install folder (InstallDirs.h), so this prefix is the one
# the package installs to.
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build build-package -j"$(nproc)" >/dev/null
rm -f build-package/papyra_*.deb
(cd build-package && cpack -G DEB >/dev/null)
ls "$PWD"/build-package/papyra_*.deb
