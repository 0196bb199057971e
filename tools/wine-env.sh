# shellcheck shell=bash
# Sourced with the build directory as $1: the Wine settings every Wine process of that build shares.
# A private prefix and home inside the build tree; never the user's own ~/.wine.
yar_build=$(cd "${1:?build directory}" && pwd)
export WINEPREFIX="$yar_build/wine/prefix"
export HOME="$yar_build/wine/home"
export WINEARCH=win32
export WINEDEBUG=${YAR_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# All processes of one prefix must see the same display: the session script records it.
if [ -f "$yar_build/wine/display" ]; then
  DISPLAY=$(cat "$yar_build/wine/display")
  export DISPLAY
fi
