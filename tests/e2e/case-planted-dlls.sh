#!/usr/bin/env bash
# DLLs planted beside install.exe, under the names of DLLs that system components load by name (GDI+, the
# themes, the shell's property system ...), are never loaded: the setup takes DLLs from the system
# directory only. Wine is told to prefer such native DLLs to its own, and each planted DLL leaves a marker
# beside itself when a process loads it; the driver, which restricts nothing, shows that the plant works.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
: "${YAR_PLANTED_DLL:?}"
# Not version.dll: Wine's own advapi32 loads it by name while the program's imports are resolved, before any
# code of the program runs (on Windows advapi32 is a known DLL, whose imports come from System32).
names=(propsys gdiplus uxtheme dwmapi windowscodecs oleacc clbcatq userenv setupapi apphelp cryptbase profapi
  sspicli)
new_start_dir planted-dlls $'[Setup - Main]\nShow Re-Boot=0'
for name in "${names[@]}"; do cp "$YAR_PLANTED_DLL" "$start_dir/$name.dll"; done
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}$(IFS=,; echo "${names[*]}")=n,b"
export WINEDLLOVERRIDES

# The control: a program beside the plant that loads one by name gets the planted one.
cp "$YAR_DRIVER" "$start_dir/control.exe"
loaded=$(cd "$start_dir" && wine_within "$E2E_WAIT" control.exe load propsys.dll </dev/null | tr -d '\r') ||
  fail "the control could not load propsys.dll"
[[ ${loaded,,} == *planted-dlls*propsys.dll ]] || fail "the control loaded $loaded, not the planted DLL"
[ -e "$start_dir/propsys.dll.ran" ] || fail "the planted DLL left no marker in the control"
rm -f "$start_dir"/*.ran "$start_dir/control.exe"

run_to_wizard
drive click "$WIZARD_CAPTION" "&Next" >/dev/null
close_wizard
ran=$(cd "$start_dir" && find . -name '*.ran' -printf '%f ' | sort)
expect_eq "planted DLLs loaded by install.exe" "" "$ran"
