#!/usr/bin/env bash
# yar-vendor.sh WORKDIR YAR [RUNNER...]: the vendor's commands. `yar check` reports findings with their
# lines and exit 1 on an error; `yar build` makes the floppy layout (disk 1 holding install.exe,
# install.cfg and a first volume sized to what is left), writes "Install Disks", gives the same bytes
# twice, refuses to build while the check finds an error, and says when install.exe leaves no room.
# shellcheck source=tests/yar/yar-script-lib.sh
. "$(dirname "$0")/yar-script-lib.sh" "$@"

mkdir -p src/bin src/docs
# Random bytes do not shrink, so the set spans disks whatever the method.
head -c 1800000 /dev/urandom >src/bin/app.exe
head -c 400000 /dev/urandom >src/docs/manual.txt
echo "licence" >src/license.txt
head -c 2000 /dev/urandom >src/logo.gif
head -c 300000 /dev/urandom >install.exe
head -c 20000 /dev/urandom >uninstaller.exe
cat >src/install.cfg <<'CFG'
[Setup - Main]
Launch=<INSTALLDIR>app.exe
Bitmap File=logo.gif
[Directories]
Dir1=<INSTALLDIR>~
Dir2=<SUB1><INSTALLDIR>~docs
[Files]
File1=bin\app.exe~<INSTALLDIR>
File2=docs\manual.txt~<SUB1><INSTALLDIR>
File3=license.txt~<INSTALLDIR>
File4=uninstaller.exe~<INSTALLDIR>
[WorkStation]
File1=bin\app.exe~<INSTALLDIR>
File2=uninstaller.exe~<INSTALLDIR>
CFG

expect 0 check src/install.cfg --source src --uninstaller uninstaller.exe
[ -s out.txt ] && fail "a sound configuration has findings: $(cat out.txt)"
expect 1 check src/install.cfg --source src
grep -q "^src/install.cfg:11: error: the source uninstaller.exe does not exist" out.txt ||
  fail "a missing source is not reported with its line: $(cat out.txt)"
expect 1 check src/install.cfg --source src --json
grep -q '"line":11' out.txt && grep -q '"level":"error"' out.txt || fail "--json findings lack line or level"
[ "$(wc -l <out.txt)" -eq 2 ] || fail "--json does not give one object per finding: $(cat out.txt)"

# The sample distribution's configuration, as tools/run-main.sh builds it.
cp "$(dirname "$0")/../../samples/demo/install.cfg" sample.cfg
expect 0 check sample.cfg
grep -q ': error: ' out.txt && fail "the sample's configuration has errors: $(cat out.txt)"

build() { expect "$1" build src/install.cfg --source src --uninstaller uninstaller.exe --setup install.exe "${@:2}"; }
build 0 -o dist
for f in disk1/install.exe disk1/install.cfg disk1/disk.001 disk2/disk.002; do
  [ -f "dist/$f" ] || fail "the floppy layout has no $f"
done
ls dist/disk1 | grep -qv -e install.exe -e install.cfg -e disk.001 && fail "disk 1 holds more: $(ls dist/disk1)"
disks=$(find dist -name 'disk.[0-9][0-9][0-9]' | wc -l)
grep -q "^Install Disks=$disks" dist/disk1/install.cfg || fail "Install Disks is not $disks"
for d in dist/disk*; do
  used=0
  for f in "$d"/*; do used=$((used + ($(stat -c %s "$f") + 511) / 512 * 512)); done
  [ "$used" -le 1440000 ] || fail "$d holds $used bytes, more than a floppy"
done
cmp -s install.exe dist/disk1/install.exe || fail "install.exe was not copied as it is"
grep -q "packed into" out.txt || fail "no summary: $(cat out.txt)"
expect 0 check dist/disk1/install.cfg
expect 0 test -q dist/disk1/disk.001
expect 0 extract -q dist/disk1/disk.001 -d unpacked
for f in app.exe manual.txt license.txt logo.gif uninstaller.exe; do
  [ -f "unpacked/$f" ] || fail "the set does not hold $f flat"
done
cmp -s unpacked/app.exe src/bin/app.exe || fail "app.exe expanded to other bytes"

build 0 -o again
diff -r dist again >/dev/null || fail "two builds of the same inputs differ"
build 2 -o dist
grep -q "not an empty directory" err.txt || fail "a build into a used directory was not refused"

build 0 -o flat --volume-size 1m -m lzh
[ -f flat/install.exe ] && [ -f flat/disk.001 ] && [ -f flat/disk.002 ] || fail "a sized build is not flat: $(ls flat)"
expect 0 check flat/install.cfg
sed -i 's/^Install Disks=.*/Install Disks=9/' flat/install.cfg
expect 1 check flat/install.cfg
grep -q '^flat/install.cfg:2: error: "Install Disks" is 9, the set has' out.txt ||
  fail "a wrong disk count is not reported on its line: $(cat out.txt)"

head -c 1500000 /dev/urandom >big.exe
expect 2 build src/install.cfg --source src --uninstaller uninstaller.exe --setup big.exe -o big
grep -q "install.exe (1500000 bytes) does not fit on disk 1" err.txt || fail "no word that install.exe does not fit"
[ -e big ] && fail "a build that cannot fit made its directory"

sed 's/^Dir1=<INSTALLDIR>~/Dir1=<ALT1>~Acme/' src/install.cfg >src/broken.cfg
expect 1 build src/broken.cfg --source src --uninstaller uninstaller.exe --setup install.exe -o broken
grep -q "^src/broken.cfg:4: error: no \[Directories\] row is tagged <INSTALLDIR>" out.txt ||
  fail "the build does not show the check's error: $(cat out.txt)"
[ -e broken ] && fail "a configuration with an error was built"

# --sign hands the bound install.exe to the signing script as the last step; a failed signing fails the
# build. Natively with a stand-in script (tools/sign.sh itself has its own test); yar.exe refuses it.
cat >fake-sign.sh <<'SH'
#!/bin/sh
echo "$@" >"$(dirname "$0")/signed-args.txt"
[ "$1" = bad.crt ] && exit 1
printf 'SIGNED' >>"$3"
SH
chmod +x fake-sign.sh
if [ ${#runner[@]} -eq 0 ]; then
  export YAR_SIGN_SCRIPT=$PWD/fake-sign.sh
  build 0 -o signed --sign maker.crt maker.key
  grep -q "^maker.crt maker.key .*signed/disk1/install.exe$" signed-args.txt || fail "the script was not given cert, key and program: $(cat signed-args.txt)"
  [ "$(tail -c 6 signed/disk1/install.exe)" = SIGNED ] || fail "the signed program is not the one in the media"
  head -c -6 signed/disk1/install.exe | cmp -s - dist/disk1/install.exe || fail "signing came before the manifest"
  build 3 -o badsign --sign bad.crt maker.key
  grep -q "the program is not signed" err.txt || fail "a failed signing is not reported: $(cat err.txt)"
  unset YAR_SIGN_SCRIPT
else
  build 2 -o signed --sign maker.crt maker.key
  grep -q "sign on Linux" err.txt || fail "yar.exe does not say where to sign: $(cat err.txt)"
fi

find . -name '*.tmp' | grep -q . && fail "packing left its spill files: $(find . -name '*.tmp')"

[ "$failures" -eq 0 ] && echo "all vendor command checks passed"
exit $((failures > 0))
