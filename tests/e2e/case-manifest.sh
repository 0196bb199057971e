#!/usr/bin/env bash
# Media bound to install.exe: yar build writes the SHA-256 of install.cfg and of each volume into its copy of
# install.exe. That program installs from the media as built; it refuses an install.cfg changed since (exit
# code 3, nothing of the file read, the log saying why) and the volumes of another set (a wrong volume: in a
# run without questions exit code 3), each checked before any of its bytes is expanded. install.exe as built, which carries no manifest, takes the same
# changed files. yar check says which files no longer match.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
: "${YAR_TOOL:?}" "${YAR_INSTALL_EXE:?}"
new_run manifest
run=$e2e_run
CRLF=$'\r\n'

# Two builds of one configuration; the second's readme.txt differs, so its volumes are another set.
make_media() { # name readme-text [volume-size [data.bin]]
  mkdir -p "$run/$1-src"
  cp "${4:-$YAR_DISKSET/files/data.bin}" "$run/$1-src/data.bin"
  printf '%s\r\n' "$2" >"$run/$1-src/readme.txt"
  printf '%s' "[Setup - Main]${CRLF}Show Re-Boot=0${CRLF}Install Dir=E2E\\Bound${CRLF}[Directories]${CRLF}" \
    "Dir1=<INSTALLDIR>~${CRLF}[Files]${CRLF}File1=readme.txt~<INSTALLDIR>${CRLF}File2=data.bin~<INSTALLDIR>${CRLF}" \
    >"$run/$1-src/install.cfg"
  (cd "$run" && wine_within "$E2E_WAIT" "$YAR_TOOL" build "$1-src/install.cfg" --source "$1-src" \
    --setup setup.exe --volume-size "${3:-16k}" -o "$1" </dev/null) >"$run/$1-build.txt" 2>&1 ||
    fail "yar build of $1 failed: $(cat "$run/$1-build.txt")"
}
cp "$YAR_INSTALL_EXE" "$run/setup.exe"
make_media media "The readme as built."
make_media other "Another readme."
# A set of one large volume: a decoder running beside its check would write its files before it ends.
head -c 12582912 /dev/urandom >"$run/large.bin"
make_media bigset "A readme that comes first." 16m "$run/large.bin"
grep -q "has no SHA-256 service" "$run/media-build.txt" && skip "this build of yar has no SHA-256 service to bind the media with"
grep -q "install.exe carries the SHA-256 of install.cfg and of the 2 volumes: sign it now" "$run/media-build.txt" ||
  fail "the build did not bind the media: $(cat "$run/media-build.txt")"
cmp -s "$run/setup.exe" "$run/media/install.exe" && fail "the bound install.exe is the program as built"

# A start directory: the built media, the changes asked for, and the program to run.
start_from() { # name changes... (cfg: a line added to install.cfg; volumes: the other set's volumes; plain: install.exe as built)
  local name=$1 change
  shift
  start_dir=$run/$name
  rm -rf "$start_dir"
  cp -r "$run/media" "$start_dir"
  for change in "$@"; do
    case $change in
    cfg) printf '; changed after the build\r\n' >>"$start_dir/install.cfg" ;;
    volumes) cp "$run/other"/disk.* "$start_dir/" ;;
    large) cp "$run/bigset/disk.001" "$start_dir/" ;;
    plain) cp "$YAR_INSTALL_EXE" "$start_dir/install.exe" ;;
    esac
  done
}
install_silently() { # name
  target_win="C:\\E2E\\Bound $1"
  target=$(host_path "$target_win")
  log_win="C:\\e2e-manifest-$1.log"
  rm -rf "$target" "$(host_path "$log_win")"
  watch_setup_from "$start_dir" /VERYSILENT "/DIR=$target_win" "/LOG=$log_win"
  log=$(host_path "$log_win")
}

start_from sound
install_silently sound
expect_eq "the media as built: exit code" 0 "$setup_status"
cmp -s "$run/media-src/readme.txt" "$target/readme.txt" || fail "the media as built: readme.txt not installed"
(cd "$start_dir" && wine_within "$E2E_WAIT" "$YAR_TOOL" check install.cfg </dev/null) >"$run/check-sound.txt" 2>&1 ||
  fail "yar check of the media as built failed: $(cat "$run/check-sound.txt")"
grep -q "its manifest matches install.cfg and 2 volumes" "$run/check-sound.txt" || fail "yar check does not say the media match"

start_from cfg cfg
install_silently cfg
expect_eq "a changed install.cfg: exit code" 3 "$setup_status"
expect_log "$log" "install.cfg beside this setup program is not the one it was built with"
expect_log "$log" 'End: exit code 3'
grep -qF 'Volume: ' "$log" && fail "a changed install.cfg: the set was read"
[ -e "$target" ] && fail "a changed install.cfg: $target was made"

start_from volumes volumes
install_silently volumes
expect_eq "another set's volumes: exit code" 3 "$setup_status"
expect_log "$log" 'Volume 1 does not match the manifest of this install.exe'
[ -e "$target/readme.txt" ] && fail "another set's volumes: readme.txt was installed"
(cd "$start_dir" && wine_within "$E2E_WAIT" "$YAR_TOOL" check install.cfg </dev/null) >"$run/check-volumes.txt" 2>&1 &&
  fail "yar check takes another set's volumes"
grep -q "disk.001 does not match the manifest" "$run/check-volumes.txt" || fail "yar check does not name disk.001"

# No byte of a volume is expanded before its check passed: nothing of the other set's volume is written.
start_from large large
install_silently large
expect_eq "another set's large volume: exit code" 3 "$setup_status"
expect_log "$log" 'Volume 1 does not match the manifest of this install.exe'
grep -F 'Expanded: ' "$log" && fail "another set's large volume: a file of it was expanded before its check"

# install.exe as built carries no manifest: the same changes are taken as before.
start_from plain cfg volumes plain
install_silently plain
expect_eq "no manifest: exit code" 0 "$setup_status"
cmp -s "$run/other-src/readme.txt" "$target/readme.txt" || fail "no manifest: the other set's readme.txt not installed"
