#!/usr/bin/env bash
# Installs, from Debian's packages, what the build and the tests need.
# Does nothing when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format clang-tidy cppcheck
  googletest libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 g++-mingw-w64-x86-64-win32
  wine wine32:i386 wine64 xvfb xauth imagemagick x11-apps x11-utils
  lhasa jlha-utils liblnk-utils libarchive-tools p7zip-full default-jre-headless default-jdk-headless
  osslsigncode openssl nettle-dev
  fonts-ipafont-gothic  # a Japanese font, for the Japanese texts under Wine
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror caught mid-sync fails an index ("File has unexpected size"); it is retried, and when it still
# fails the lists apt already has are used.
for attempt in 1 2 3; do
  $SUDO apt-get update -qq && break
  echo "bootstrap: apt-get update failed (attempt $attempt of 3)" >&2
  [ "$attempt" -lt 3 ] && sleep 20
done
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" && exit 0

# Without a sound i386 index the 32-bit Wine cannot be installed beside its 64-bit libraries. The rest
# still is: the tests then run the Windows build in the win64 check build, as on a kernel without 32-bit
# support, and say so.
native=()
for p in "${missing[@]}"; do
  [[ $p == *:i386 ]] || native+=("$p")
done
[ ${#native[@]} -lt ${#missing[@]} ] || exit 1
echo "bootstrap: the 32-bit packages cannot be installed from this mirror now; installing the others" >&2
[ ${#native[@]} -eq 0 ] || $SUDO apt-get install -y -qq --no-install-recommends "${native[@]}"
