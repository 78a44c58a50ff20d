#!/bin/sh
# Captures the Win32 windows as Wine draws them on a private Xvfb into docs/win32-*.png.
# Usage: tests/win32/capture-screenshots.sh [build folder, default build-windows]
# Needs Xvfb (xvfb-run), Wine and ImageMagick's import. The Wine prefix is the build's own.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build-windows}" && pwd)
docs=$(cd "$here/../../docs" && pwd)
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
export PAPYRA_HOLD_MS="${PAPYRA_HOLD_MS:-3000}"
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -k 2>/dev/null || true # a server of the prefix started without this display
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    # No window manager runs on the Xvfb: Wine draws every frame itself, as Windows would.
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null
    wine "$1/tests/papyra_win32_tests.exe" --gtest_also_run_disabled_tests \
        --gtest_filter=Win32WindowScreenshots.* |
    while read -r word name left top width height; do
        [ "$word" = SHOWN ] || continue
        sleep 0.5
        import -display "$DISPLAY" -window root -crop "${width}x${height}+${left}+${top}" \
            +repage "$2/win32-$name.png"
        echo "captured docs/win32-$name.png"
    done' capture "$build" "$docs"
