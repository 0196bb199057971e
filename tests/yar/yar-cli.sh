#!/usr/bin/env bash
# yar-cli.sh WORKDIR YAR [RUNNER...]: the conventions of the command line: exit codes, short command
# names, --version, entries chosen by name or pattern, -O, --json, pack's refusal to overwrite, and an
# interrupted extraction (natively) that leaves nothing behind.
# shellcheck source=tests/yar/yar-script-lib.sh
. "$(dirname "$0")/yar-script-lib.sh" "$@"

mkdir -p tree/docs tree/bin
echo "read me" >tree/docs/readme.txt
echo "notes" >tree/docs/notes.txt
head -c 3000 /dev/urandom >tree/bin/tool.bin

expect 3 list missing.001
grep -q "missing.001" err.txt || fail "a missing input is not named"
expect 2 lsit tree
grep -q 'unknown command "lsit"' err.txt || fail "a mistyped command is not called unknown"
expect 0 --version
grep -q "^yar [0-9]" out.txt || fail "--version prints no version"

expect 0 a -q one.yar tree
expect 5 a -q one.yar tree
grep -q "one.yar exists (use --force to replace it)" err.txt || fail "pack overwrote without --force"
expect 0 a -q --force one.yar tree/docs
expect 0 l one.yar
grep -q "readme.txt" out.txt || fail "the short list command shows nothing"
grep -q "tool.bin" out.txt && fail "pack --force did not replace the archive"
expect 0 a -q --force one.yar tree

expect 0 t -q one.yar
expect 0 x -q one.yar -d chosen 'docs/read*'
[[ -f chosen/docs/readme.txt && ! -e chosen/docs/notes.txt && ! -e chosen/bin ]] ||
  fail "a pattern did not choose exactly its entry"
expect 0 x -q one.yar -d byname TOOL.BIN
[ -f byname/bin/tool.bin ] || fail "a name without a directory did not choose its entry"
expect 2 x -q one.yar -d none nothing.here
grep -q "no entry matches nothing.here" err.txt || fail "a name that matches nothing is silent"
run x one.yar -O docs/notes.txt >stdout.bin 2>err.txt || fail "-O failed: $(cat err.txt)"
cmp -s stdout.bin tree/docs/notes.txt || fail "-O wrote other bytes than the entry"

expect 0 list --json one.yar
grep -q '"schema": 2' out.txt || fail "no schema version in --json"
grep -Eq '"date": "[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}"' out.txt || fail "--json dates are not ISO 8601"
grep -q '"path": "docs/readme.txt"' out.txt || fail "--json has no path below DIR"
grep -q '"checksum": ' out.txt || fail "--json has no checksums"
expect 0 pack -q set/disk.001 tree --template-root 'c:\app'
expect 0 list --json set/disk.001
grep -q '"path": "app/docs/readme.txt"' out.txt || fail "a set's --json path lacks the template's directory"
expect 0 test --json one.yar
grep -q '"failures": 0' out.txt || fail "test --json gives no failure count"

# A tampered set: entries renamed to climb out with "/" and "..", to a device and to a stream. list and
# test name each as unsafe and exit 1, whatever platform yar runs on.
mkdir -p tampered/files
for name in '..,.2.up.dll' MUM.txt 'ok.txt;w' fine.txt; do echo "$name" >"tampered/files/$name"; done
(cd tampered/files && run pack -q -m none ../disk.001 '..,.2.up.dll' MUM.txt 'ok.txt;w' fine.txt) ||
  fail "packing the set to tamper with failed"
rename=$(dirname "$0")/rename-entry.sh
"$rename" tampered/disk.001 '..,.2.up.dll' '../../up.dll' && "$rename" tampered/disk.001 MUM.txt NUL.txt &&
  "$rename" tampered/disk.001 'ok.txt;w' 'ok.txt:x' || fail "renaming the entries failed"
expect 1 list tampered/disk.001
for line in 'UNSAFE ../../up.dll: it climbs out of its directory through ".."' \
  'UNSAFE NUL.txt: its file name is a device' 'UNSAFE ok.txt:x: it names a stream'; do
  tr -d '\r' <out.txt | grep -qxF "$line" || fail "list does not say: $line"
done
grep -q "UNSAFE fine.txt" out.txt && fail "list calls a sound name unsafe"
expect 1 list --json tampered/disk.001
grep -q '"unsafe": "its file name is a device"' out.txt || fail "list --json marks no entry unsafe"
expect 1 test -q tampered/disk.001
grep -qF 'FAILED' out.txt && grep -qF '../../up.dll: unsafe name: it climbs out of its directory through ".."' out.txt ||
  fail "test does not fail the climbing entry"
grep -q "3 failures" out.txt || fail "test counts other than the three unsafe entries"

# A new set over an older, longer one: the older set's later volumes go.
head -c 200000 /dev/urandom >big.bin
expect 0 pack -q -m none long/disk.001 big.bin --volume-size 64k
[ -f long/disk.003 ] || fail "the long set has no third volume"
expect 5 pack -q long/disk.001 tree/docs
expect 0 pack -q --force long/disk.001 tree/docs
[ -e long/disk.002 ] && fail "the old set's later volumes stayed"
expect 0 test -q long/disk.001

if [ ${#runner[@]} -eq 0 ]; then
  # A FIFO is refused, not read forever.
  mkfifo fifo.001
  expect 3 list fifo.001
  grep -q "not a regular file" err.txt || fail "a FIFO input is not refused"
  # SIGTERM during an extraction: no partial file, no temporary copy, the signal's own status.
  head -c 60000000 /dev/zero >zeros.bin
  expect 0 pack -q -m lh5 zeros.yar zeros.bin
  export TMPDIR=$work/tmp && mkdir -p "$TMPDIR"
  "$yar" x -q zeros.yar -d interrupted & pid=$!
  for _ in $(seq 50); do [ -n "$(ls -A interrupted 2>/dev/null)" ] && break; sleep 0.05; done
  kill -TERM $pid; wait $pid; status=$?
  [ "$status" -eq 143 ] || fail "an interrupted extraction exited $status, not by its signal"
  [ -z "$(ls -A interrupted 2>/dev/null)" ] || fail "an interrupted extraction left $(ls -A interrupted)"
  [ -z "$(ls -A "$TMPDIR")" ] || fail "an interrupted run left $(ls -A "$TMPDIR")"
fi

[ "$failures" -eq 0 ] && echo "yar command line: all conventions hold"
exit $((failures > 0))
