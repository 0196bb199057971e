# shellcheck shell=bash
# Sourced with the build directory as $1: the Wine settings every Wine process of that build shares.
# A private prefix and home inside the build tree; never the user's own ~/.wine.
yar_build=$(cd "${1:?build directory}" && pwd)
export WINEPREFIX="$yar_build/wine/prefix"
export HOME="$yar_build/wine/home"
export WINEARCH=win32
# The win64 check build runs the same tests in a 64-bit prefix through the 64-bit loader.
if grep -q '^CMAKE_TOOLCHAIN_FILE:.*mingw-x86_64' "$yar_build/CMakeCache.txt" 2>/dev/null; then
  export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
  yar_wine64=$(cd "$(dirname "${BASH_SOURCE[0]}")/wine64" && pwd)
  case ":$PATH:" in *":$yar_wine64:"*) ;; *) export PATH="$yar_wine64:$PATH" ;; esac
fi
export WINEDEBUG=${YAR_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# All processes of one prefix must see the same display: the session script records it.
if [ -f "$yar_build/wine/display" ]; then
  DISPLAY=$(cat "$yar_build/wine/display")
  export DISPLAY
fi
