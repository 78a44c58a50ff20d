#!/usr/bin/env bash
# Configures and builds build/papyra and the tests with the default preset.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build build -j"$(nproc)"
