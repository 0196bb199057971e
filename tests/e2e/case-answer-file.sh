#!/usr/bin/env bash
# /SAVEINF on a walk through the pages writes what they were given; /LOADINF with /VERYSILENT replays it
# after the first installation is gone and installs the same files in the same place.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
new_start_dir answer-file $'[Setup - Main]\nShow Re-Boot=0\nInstall Dir=E2E\\Answers\nWork Station Prompt=1\n[Files]\nFile1=readme.txt~<INSTALLDIR>\nFile2=data.bin~<INSTALLDIR>\n[WorkStation]\nFile1=readme.txt~<INSTALLDIR>'
target='C:\E2E\Answers'
dir=$(host_path "$target")
answers='C:\e2e-answers.inf'
rm -rf "$dir" "$(host_path "$answers")"
# C:\E2E is there for both installs, so that both make the same directories and write the same record.
mkdir -p "$(dirname "$dir")"
run_to_wizard_from "$start_dir" "/SAVEINF=$answers"
# The type page offers the network minimum preselected; the full install is chosen instead.
walk_to_ready_choosing_full() {
  [ "$1" != type ] || drive click "$WIZARD_CAPTION" "Full Install ( All Files will be installed )" >/dev/null ||
    fail "cannot choose the full install"
}
walk_to_ready walk_to_ready_choosing_full >/dev/null
drive click "$WIZARD_CAPTION" "&Install" || fail "cannot press Install"
ends_with 'Your installation of \rYAR - Tarnwick 32Bit\rhas be completed.\r\rPlease Remove any floppies from drive.'
expect_eq "exit code" 0 "$setup_status"
saved=$(tr -d '\r' <"$(host_path "$answers")")
grep -qxF "Dir=$target" <<<"$saved" || fail "answer file without the destination: $saved"
grep -qx 'Type=full' <<<"$saved" || fail "answer file without the install type: $saved"
grep -qx 'EndChoice=return' <<<"$saved" || fail "answer file without the end choice: $saved"
first=$(cd "$dir" && find . -type f -printf '%p %s\n' | sort)
[ -n "$first" ] || fail "nothing installed by the walk"

rm -rf "$dir"
watch_setup_from "$start_dir" /VERYSILENT "/LOADINF=$answers"
expect_eq "exit code" 0 "$setup_status"
expect_eq "window of ours" "" "$ours_seen"
expect_eq "replayed installation" "$first" "$(cd "$dir" && find . -type f -printf '%p %s\n' | sort)"

# A bare name is the current directory's, written and read there, and never the Windows directory's, where
# an answer file of another destination lies. The media are copied to drive C: for it: the levels above
# the checkout (say below /tmp) may be ones another account may change, which rightly refuses the file.
windows_answers=$(host_path 'C:\windows\bare.inf')
printf '[Setup]\r\nDir=C:\\E2E\\Elsewhere\r\n' >"$windows_answers"
bare_start=$(host_path 'C:\e2e-bare-start')
rm -rf "$dir" "$bare_start"
cp -r "$start_dir" "$bare_start"
start_dir=$bare_start
watch_setup_from "$start_dir" /VERYSILENT "/LOADINF=$answers" /SAVEINF=bare.inf
expect_eq "exit code, saving under a bare name" 0 "$setup_status"
grep -qxF "Dir=$target" < <(tr -d '\r' <"$start_dir/bare.inf") || fail "no bare.inf in the current directory"
rm -rf "$dir"
watch_setup_from "$start_dir" /VERYSILENT /LOADINF=bare.inf
expect_eq "exit code, reading a bare name" 0 "$setup_status"
expect_eq "installation from the current directory's answers" "$first" \
  "$(cd "$dir" && find . -type f -printf '%p %s\n' | sort)"
[ ! -e "$(host_path 'C:\E2E\Elsewhere')" ] || fail "the Windows directory's answer file was read"
expect_eq "the Windows directory's answer file" "$(printf '[Setup]\r\nDir=C:\\E2E\\Elsewhere\r\n')" \
  "$(cat "$windows_answers")"
rm -rf "$windows_answers" "$bare_start"
