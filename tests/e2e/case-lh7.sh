#!/usr/bin/env bash
# A set packed with lh7 (the 64 KiB window) over several volumes installs byte for byte: a program whose
# second half repeats its first at distances only that window reaches, and a text; an unattended run
# ends with exit code 0 and the files as packed.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
: "${YAR_TOOL:?}"
set_dir="$YAR_E2E_OUT/diskset-lh7"
rm -rf "$set_dir" && mkdir -p "$set_dir/files"
head -c 50000 /dev/urandom >"$set_dir/half.bin"
cat "$set_dir/half.bin" "$set_dir/half.bin" >"$set_dir/files/app.exe"
cp "$YAR_DISKSET/files/readme.txt" "$set_dir/files/"
(cd "$set_dir/files" && wine_within "$E2E_WAIT" "$YAR_TOOL" pack -q -m lh7 --volume-size 32k ../disk.001 app.exe \
  readme.txt </dev/null) || fail "yar pack -m lh7 of the set failed"
# The repeat was found: the set holds little more than one half of the program.
packed=$(cat "$set_dir"/disk.* | wc -c)
[ "$packed" -lt 70000 ] || fail "the lh7 set takes $packed bytes: the far repeat was not found"
[ -f "$set_dir/disk.002" ] || fail "the set has one volume"
diskset=$set_dir
new_start_dir lh7 $'[Setup - Main]\nShow Re-Boot=0\n[Files]\nFile1=app.exe~<INSTALLDIR>\nFile2=readme.txt~<INSTALLDIR>'
target='C:\E2E\Lh7'
watch_setup_from "$start_dir" /VERYSILENT "/DIR=$target"
expect_eq "exit code" 0 "$setup_status"
installed=$(host_path "$target")
for f in app.exe readme.txt; do
  cmp -s "$set_dir/files/$f" "$installed/$f" || fail "$f installed is not the packed one"
done
