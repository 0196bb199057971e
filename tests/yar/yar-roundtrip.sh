#!/usr/bin/env bash
# yar-roundtrip.sh WORKDIR YAR [RUNNER...]: packs a tree of several hundred files into a segment set of
# several volumes and into a single archive, then tests and extracts both and compares the trees; also
# checks locked entries, a damaged volume, a missing volume and the refusal to overwrite.
# shellcheck source=tests/yar/yar-script-lib.sh
. "$(dirname "$0")/yar-script-lib.sh" "$@"

# The tree: 12 directories of 25 files, empty ones, text that packs well, bytes that do not.
for d in $(seq 0 11); do
  dir=tree/dir$d; [ $((d % 3)) -eq 0 ] && dir=tree/dir$d/sub
  mkdir -p "$dir"
  for f in $(seq 0 24); do
    n=$((d * 25 + f))
    case $((n % 5)) in
      0) : >"$dir/empty$f.txt" ;;
      1|2) seq $((n * 7)) $((n * 7 + n * 13 % 3000)) >"$dir/text$f.txt" ;;
      3) head -c $(((n * 997) % 20000 + 1)) /dev/urandom >"$dir/rand$f.bin" ;;
      4) yes "line $n of a repeated text" | head -n $((n % 400 + 1)) >"$dir/rep$f.log" ;;
    esac
  done
done
files=$(find tree -type f | wc -l)
[ "$files" -ge 300 ] || fail "only $files files generated"

# A set of several volumes.
expect 0 pack -q set/disk.001 tree --volume-size 200k
volumes=$(find set -type f | wc -l)
[ "$volumes" -ge 4 ] || fail "the set has only $volumes volumes"
expect 0 test set/disk.001
grep -q "^$files entries tested, 0 failures" out.txt || fail "test did not report $files sound entries"
expect 0 list --json set/disk.001
[ "$(grep -c '"name"' out.txt)" -eq "$files" ] || fail "list --json does not show every entry"
expect 0 extract -q set/disk.001 -d outset
diff -r tree outset >/dev/null || fail "the set extracts to another tree"
grep -q $'\r' err.txt && fail "progress output without a terminal"

# A set with one extension for every volume, each volume in its own diskN directory.
expect 0 pack -q fixed/disk tree/dir2 tree/dir3 --ext seg --volume-size 64k
[ -f fixed/disk2/disk.seg ] || fail "no second volume of the fixed-extension set"
expect 0 extract -q fixed/disk1/disk.seg -d outfixed </dev/null
for d in dir2 dir3; do # both trees extract into one
  for f in $(cd tree/$d && find . -type f); do
    cmp -s "tree/$d/$f" "outfixed/$f" || fail "the fixed-extension set extracts $d/$f otherwise"
  done
done

# A single archive.
expect 0 pack -q -m lzh one.yar tree
expect 0 test -q one.yar
expect 0 extract -q one.yar -d outone
diff -r tree outone >/dev/null || fail "the archive extracts to another tree"

# The uninstaller goes along under its own name; another name is refused.
mkdir -p prog && echo uninstall >prog/uninstaller.exe && echo other >prog/other.exe
expect 0 pack -q --uninstaller prog/uninstaller.exe product.yar tree/dir1
expect 0 list product.yar
grep -q uninstaller.exe out.txt || fail "pack --uninstaller left the uninstaller out"
expect 2 pack -q --uninstaller prog/other.exe other.yar tree/dir1
[ -e other.yar ] && fail "a wrongly named uninstaller was packed"

# Existing files stay without --force, and are replaced with it.
echo changed >outone/dir1/text1.txt
expect 5 extract -q one.yar -d outone
grep -q changed outone/dir1/text1.txt || fail "an existing file was overwritten without --force"
expect 0 extract -q --force one.yar -d outone
diff -r tree outone >/dev/null || fail "--force did not replace the files"

# Locked entries need their key.
expect 0 pack -q --key 4242 locked.yar tree/dir1
expect 1 extract -q locked.yar -d outlocked
grep -q "File locked -- valid key required" err.txt || fail "no key error for a locked entry"
expect 1 extract -q --key 17 locked.yar -d outlocked2
expect 0 extract -q --key 4242 locked.yar -d outlocked3
diff -r tree/dir1 outlocked3 >/dev/null || fail "the locked archive extracts to another tree"

# A damaged byte in the middle of volume 2 fails the test, by entry.
cp -r set damaged
printf '\x55\xAA\x55' | dd of=damaged/disk.002 bs=1 seek=100000 conv=notrunc status=none
expect 1 test -q damaged/disk.001
grep -q "^FAILED " out.txt || fail "the damaged entry was not reported"

# A missing volume: without a terminal the tool says where to point, --volumes points there.
mkdir -p moved && cp -r set partial && mv partial/disk.003 moved/
expect 4 test -q partial/disk.001 </dev/null
grep -q -- "--volumes" err.txt || fail "no hint at --volumes for a missing volume"
expect 0 test -q partial/disk.001 --volumes moved </dev/null

# The same input twice, or stored names that differ only in letter case, are command-line mistakes:
# nothing is written.
expect 2 pack -q twice.yar tree/dir1 tree/dir1
grep -q "the same input is named twice: tree/dir1" err.txt || fail "no clear message for an input named twice"
[ -e twice.yar ] && fail "an archive was written for an input named twice"
mkdir -p cases/a cases/b && echo one >cases/a/Name.txt && echo two >cases/b/NAME.TXT
expect 2 pack -q cases.yar cases/a cases/b
grep -q "differ only in letter case: NAME.TXT (cases/b.NAME.TXT) and Name.txt (cases/a.Name.txt)" err.txt ||
  fail "the letter-case collision does not name both files"
expect 2 pack -q caseset/disk.001 cases/a cases/b
[ -e cases.yar ] || [ -e caseset ] && fail "something was written for names that differ only in letter case"

# Neither a set nor an archive.
echo "plain text" >plain.txt
expect 3 list plain.txt

[ "$failures" -eq 0 ] && echo "yar round trip: $files files, $volumes volumes, all sound"
exit $((failures > 0))
