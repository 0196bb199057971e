#!/usr/bin/env bash
# The whole install, unattended under Wine, of one product by install.exe and by NSIS installers of the
# same files (makensis, its default zlib and /SOLID lzma): each program started RUNS times, in turn, in
# one Wine prefix, into a new directory each time. Prints the median time of each, the median per-pair
# ratio to NSIS zlib, the media's and the programs' sizes; then the preparation of a set of floppy-size
# volumes, read from a fixed drive (in place) and from a drive Wine reports as a floppy (copied).
#   bench/install-vs-nsis.sh [-n RUNS] [--before INSTALL_EXE|GIT_REF] [--product DIR]
# --before adds the same figures for another install.exe: a file, or a git ref built in a temporary
# directory (win32 preset, the programs only). The product is bench/make-product.sh's unless given.
# Needs the win32 build (install.exe, uninstaller.exe) and a yar of the native or release build.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
runs=3
before=
product=
while [ $# -gt 0 ]; do
  case $1 in
  -n) runs=$2; shift 2 ;;
  --before) before=$2; shift 2 ;;
  --product) product=$2; shift 2 ;;
  *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
# The peer, from Debian, installed here only: nothing else needs it.
if ! command -v makensis >/dev/null; then
  sudo=
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get install -y -qq --no-install-recommends nsis >/dev/null
fi
yar=${YAR:-}
for candidate in build/release/tools/yar/yar build/native/tools/yar/yar; do
  [ -z "$yar" ] && [ -x "$candidate" ] && yar=$repo/$candidate
done
[ -n "$yar" ] || { echo "no yar: build the native or release preset" >&2; exit 2; }
after_exe=$repo/build/win32/install/install.exe
uninstaller=$repo/build/win32/uninstall/uninstaller.exe
if [ ! -f "$after_exe" ] || [ ! -f "$uninstaller" ]; then
  echo "build the win32 preset first" >&2
  exit 2
fi

work=$(mktemp -d /dev/shm/yar-installbench.XXXXXX)
wine_build=$work/wine-build
cleanup() {
  "$repo/tools/wine-session.sh" stop "$wine_build" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# The install.exe of another tree: a file as it is, a git ref built in a directory of its own.
if [ -n "$before" ] && [ ! -f "$before" ]; then
  git archive --format=tar "$before" | (mkdir -p "$work/before-src" && tar -x -C "$work/before-src")
  (cd "$work/before-src" && cmake --preset win32 >/dev/null &&
    cmake --build --preset win32 -j2 --target yar_install >/dev/null)
  before=$work/before-src/build/win32/install/install.exe
fi

if [ -z "$product" ]; then
  product=$work/product
  bench/make-product.sh "$product"
fi

# install.cfg: one directory row per directory of the product, every file in it.
cfg=$work/install.cfg
{
  printf '[Setup - Main]\r\nInstall Dir=Bench Product\r\nFolder=Bench Product\r\nShow Re-Boot=0\r\n'
  printf 'Header=Bench Product\r\n\r\n[Directories]\r\nDir1=<INSTALLDIR>~\r\n'
  n=0
  for d in "$product"/*/; do
    n=$((n + 1))
    printf 'Dir%d=<SUB%d><INSTALLDIR>~%s\r\n' $((n + 1)) "$n" "$(basename "$d")"
  done
  printf '\r\n[Files]\r\n'
  i=0 n=0
  for d in "$product"/*/; do
    n=$((n + 1))
    for f in "$d"*; do
      i=$((i + 1))
      printf 'File%d=%s\\%s~<SUB%d><INSTALLDIR>\r\n' "$i" "$(basename "$d")" "$(basename "$f")" "$n"
    done
  done
  printf 'File%d=uninstaller.exe~<INSTALLDIR>\r\n' $((i + 1))
} >"$cfg"

# The media: yar build for each install.exe (its manifest is bound to its own copy), one volume.
build_set() { # OUT SETUP [--volume-size ...]
  local out=$1 setup=$2
  shift 2
  "$yar" build "$cfg" --source "$product" -o "$out" --setup "$setup" --uninstaller "$uninstaller" \
    "$@" >/dev/null
}
build_set "$work/media-after" "$after_exe" --volume-size 1000m
# An install.exe older than lh7 reads lh5 only: its sets are packed with lh5.
[ -n "$before" ] && build_set "$work/media-before" "$before" --volume-size 1000m -m "${BEFORE_METHOD:-lh5}"
build_set "$work/floppy-after" "$after_exe" --volume-size 1440000
[ -n "$before" ] && build_set "$work/floppy-before" "$before" --volume-size 1440000 -m "${BEFORE_METHOD:-lh5}"

# The NSIS installers: the same files in the same directories, an uninstaller and its registration.
make_nsis() { # NAME COMPRESSOR [FILES]
  local name=$1 compressor=$2 files=${3:-yes}
  {
    echo "Name \"Bench Product\""
    echo "OutFile \"$work/$name.exe\""
    echo "SetCompressor $compressor"
    echo "RequestExecutionLevel admin"
    echo "InstallDir \"\$PROGRAMFILES\\Bench Product\""
    echo "Page directory"
    echo "Page instfiles"
    echo "Section"
    if [ "$files" = yes ]; then
      for d in "$product"/*/; do
        echo "SetOutPath \"\$INSTDIR\\$(basename "$d")\""
        echo "File \"$d*\""
      done
    fi
    echo "SetOutPath \"\$INSTDIR\""
    echo "WriteUninstaller \"\$INSTDIR\\uninstall.exe\""
    echo "WriteRegStr HKLM \"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Bench Product\" \"UninstallString\" \"\$INSTDIR\\uninstall.exe\""
    echo "SectionEnd"
    echo "Section Uninstall"
    echo "RMDir /r \"\$INSTDIR\""
    echo "SectionEnd"
  } >"$work/$name.nsi"
  makensis -V1 "$work/$name.nsi" >/dev/null
}
make_nsis nsis-zlib zlib
make_nsis nsis-lzma "/SOLID lzma"
make_nsis nsis-empty zlib no

"$repo/tools/wine-session.sh" start "$wine_build" >/dev/null
# shellcheck source=tools/wine-env.sh
. "$repo/tools/wine-env.sh" "$wine_build"
drive_c=$WINEPREFIX/drive_c
# Drive A: is the floppy set's directory, of the type Wine then reports as removable.
ln -sfn "$work/floppy-after" "$WINEPREFIX/dosdevices/a:"
wine reg add 'HKLM\Software\Wine\Drives' /v a: /d floppy /f >/dev/null 2>&1

winpath() { echo "Z:${1//\//\\}"; }

# One install, whole process: seconds on stdout. KIND: yar or nsis.
time_install() { # KIND EXE TARGET_DIR
  local kind=$1 exe=$2 target=$3 start end
  start=$(date +%s%N)
  if [ "$kind" = yar ]; then
    # The setup files are those of the directory named first (else the current directory's).
    wine "$exe" "${exe%\\*}\\" /VERYSILENT "/DIR=$target" /NOLAUNCH /NORESTART >/dev/null 2>&1 || {
      echo "install.exe failed: $exe" >&2
      exit 1
    }
  else
    wine "$exe" /S "/D=$target" >/dev/null 2>&1 || { echo "$exe failed" >&2; exit 1; }
  fi
  end=$(date +%s%N)
  echo "scale=3; ($end - $start) / 1000000000" | bc
}

median() { sort -n | awk '{a[NR] = $1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

# The programs of the table, in the order of each round.
names=(yar-after nsis-zlib nsis-lzma nsis-empty)
declare -A exe kind
exe[yar-after]=$(winpath "$work/media-after/install.exe") kind[yar-after]=yar
if [ -n "$before" ]; then
  names=(yar-before "${names[@]}")
  exe[yar-before]=$(winpath "$work/media-before/install.exe") kind[yar-before]=yar
fi
for n in nsis-zlib nsis-lzma nsis-empty; do exe[$n]=$(winpath "$work/$n.exe") kind[$n]=nsis; done
floppy=(floppy-after-fixed floppy-after-floppy)
exe[floppy-after-fixed]=$(winpath "$work/floppy-after/install.exe") kind[floppy-after-fixed]=yar
exe[floppy-after-floppy]='A:\install.exe' kind[floppy-after-floppy]=yar
if [ -n "$before" ]; then
  floppy+=(floppy-before-fixed)
  exe[floppy-before-fixed]=$(winpath "$work/floppy-before/install.exe") kind[floppy-before-fixed]=yar
fi

declare -A times
for r in $(seq "$runs"); do
  for n in "${names[@]}" "${floppy[@]}"; do
    t=$(time_install "${kind[$n]}" "${exe[$n]}" "C:\\Bench\\$n-$r")
    times[$n]+="$t "
    rm -rf "$drive_c/Bench/$n-$r"
  done
done

size_of() { du -cb "$@" | tail -1 | cut -f1; }
mib() { echo "scale=1; $1 / 1048576" | bc; }
echo "Install of $(find "$product" -type f | wc -l) files, $(mib "$(size_of "$product")") MiB, unattended under Wine;"
echo "median of $runs alternating runs (seconds, whole process), ratio: median of the per-run ratios to NSIS zlib"
printf '%-22s %9s %9s %12s %12s\n' program time ratio media-MiB program-KB
for n in "${names[@]}" "${floppy[@]}"; do
  med=$(echo "${times[$n]}" | tr ' ' '\n' | grep . | median)
  read -ra mine <<<"${times[$n]}"
  read -ra peer <<<"${times[nsis-zlib]}"
  ratio=$(for i in "${!mine[@]}"; do echo "scale=3; ${mine[$i]} / ${peer[$i]}" | bc; done | median)
  case $n in
  yar-after) media=$work/media-after ;;
  yar-before) media=$work/media-before ;;
  floppy-after*) media=$work/floppy-after ;;
  floppy-before*) media=$work/floppy-before ;;
  *) media=$work/$n.exe ;;
  esac
  program=$media
  [ -d "$media" ] && program=$media/install.exe
  printf '%-22s %9s %9s %12s %12s\n' "$n" "$med" "$ratio" "$(mib "$(size_of "$media")")" \
    "$(($(size_of "$program") / 1000))"
done
echo "uninstaller.exe: $(($(size_of "$uninstaller") / 1000)) KB; floppy-*: 1.44 MB volumes in one directory," \
  "read on a fixed drive (fixed) or from drive A: typed floppy (floppy)"

# Where the time of one install goes, from its log (seconds since the program started): Wine's start of
# the process is the whole time less the log's last second.
# The log lies in the prefix's drive C:, named so (as Z:\dev\shm\... it would be refused: the setup takes
# no log whose directory, or one above it, another account may change, as /dev/shm).
profile() { # NAME
  local n=$1 log=$drive_c/bench-$1.log
  local start end
  start=$(date +%s%N)
  wine "${exe[$n]}" "${exe[$n]%\\*}\\" /VERYSILENT /NOLAUNCH /NORESTART "/LOG=C:\\bench-$n.log" \
    "/DIR=C:\\Bench\\profile-$n" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  rm -rf "$drive_c/Bench/profile-$n"
  awk -v whole="$(echo "scale=3; ($end - $start) / 1000000000" | bc)" -v name="$n" '
    /Volume: / && !v { v = $1 }
    /Expanded: / { e = $1 }
    /Installed: / { if (!i) i = $1; l = $1 }
    { last = $1 }
    END { printf "%-22s whole %.2f s: before the preparation %.2f (Wine and the program start), preparation %.2f, to the first file %.2f, files %.2f, the rest %.2f\n",
          name, whole, whole - last + v, e - v, i - e, l - i, last - l }' "$log"
  rm -f "$log"
}
echo "Where the time goes (one run each, with its log):"
for n in "${names[@]}"; do if [ "${kind[$n]}" = yar ]; then profile "$n"; fi; done
