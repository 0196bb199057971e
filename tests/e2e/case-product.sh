#!/usr/bin/env bash
# A product installed through the wizard and checked from outside, in a prefix of its own: every file in
# the directory its row resolves to, byte for byte; the overwrite question answered No and Yes; uninstall.cfg
# as a whole; the INI files, the registry values and the uninstall key; AUTOEXEC.BAT with its backup and the
# system's short paths; the shortcuts, read by an independent reader of the .lnk format; the launched
# program's own record of how it was started. Then the network workstation install of the same product into
# a directory whose program path is longer than 79 characters: only its list is copied, and the program it
# launches is the one named.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
use_disposable_prefix
diskset=$YAR_DISKSET-install
drive_c=$WINEPREFIX/drive_c
files=$diskset/files
CRLF=$'\r\n'

config=$'[Setup - Main]
Install Dir=Acme Product
Add to Program Files=1
Header=Acme Product
Folder=Acme Tools
Work Station Prompt=1
Show Re-Boot=0
Launch=<SUB1><INSTALLDIR>probe.exe,/from-setup "two words"

[Directories]
Dir1=<SUB1><INSTALLDIR>~bin
Dir2=<INSTALLDIR>~
Dir3=<SUB2>~Data
Dir4=<SUB3><WINDOWS>~AcmeFonts
Dir5=<WINDOWS_SYSTEM>~
Dir6=<ALT1>~AcmeShared
Dir7=<SUB4><PROGRAMFILES>~Acme Common

[Files]
File1=bin\\probe.exe~<SUB1><INSTALLDIR>
File2=files\\readme.txt~<INSTALLDIR>
File3=uninstaller.exe~<INSTALLDIR>
File4=settings.ini~<INSTALLDIR>
File5=notes.txt~<INSTALLDIR>
File6=data.bin~<SUB2>
File7=fonts\\acme.fon~<SUB3><WINDOWS>
File8=acmelib.dll~<WINDOWS_SYSTEM>
File9=shared.dat~<ALT1>
File10=common.dat~<SUB4><PROGRAMFILES>

[Files - OverWrite]
File #3=1
File #4=1

[WorkStation]
File1=bin\\probe.exe~<SUB1><INSTALLDIR>
File2=files\\readme.txt~<INSTALLDIR>
File3=notes.txt~<INSTALLDIR>~X

[Desktop]
Icon1=Acme Readme~<INSTALLDIR>readme.txt~~~<INSTALLDIR>bin\\probe.exe~Acme Tools
Icon2=Acme App~<INSTALLDIR>bin\\probe.exe~X~X~<INSTALLDIR>bin\\probe.exe~Acme Tools

[INI - Setup]
Ini1=acme.ini~Paths~Home~<INSTALLDIR>
Ini2=<INSTALLDIR>acme.ini~Paths~Data~<SUB2>
Ini3=HKEY_LOCAL_MACHINE\\Software\\Acme E2E~Settings\\~Path~<INSTALLDIR>bin
Ini4=Software\\Acme E2E\\~User~Name~E2E User
Ini5=HKEY_CLASSES_ROOT\\.acme~shell~~Acme File

[AUTOEXEC.BAT]
copy <ROOT>config.sys <INSTALLDIR>
SET ACMEPATH=<SUB1><INSTALLDIR>;%PATH%
REM <NOSUCH> stays'

# "Install Disks" as yar build writes it: the configuration is then one yar check finds sound.
config=${config/$'[Setup - Main]\n'/$'[Setup - Main]\nInstall Disks='"$(find "$diskset" -maxdepth 1 -name 'disk.*' | wc -l)"$'\n'}

expect_same_file() { # what expected-file actual-file
  [ -f "$3" ] || fail "$1: $3 missing"
  cmp -s "$2" "$3" || fail "$1: $3 differs from $2"
}

# The file holds exactly TEXT, its last line end included.
expect_text() { # what text file
  [ -f "$3" ] || fail "$1: $3 missing"
  local actual
  actual=$(cat "$3" && printf x)
  expect_eq "$1" "$2" "${actual%x}"
}

# A registry value as `reg query` shows it: the data of one REG_SZ value ("" for the default value).
reg_value() { # key name
  local args=(/v "$2")
  [ -n "$2" ] || args=(/ve)
  wine reg query "$1" "${args[@]}" </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^    .*    REG_SZ    //p'
}

shell_folder() { reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' "$1"; }

# A shortcut's target, working directory and icon as lnkinfo reads them from the file.
expect_link() { # link-file target workdir icon
  [ -f "$1" ] || fail "no shortcut $1"
  local info
  info=$(lnkinfo "$1" | tr -d '\r')
  expect_eq "target of $1" "$2" "$(sed -n 's/^\tLocal path\t*: //p' <<<"$info")"
  expect_eq "working directory of $1" "$3" "$(sed -n 's/^\tWorking directory\t*: //p' <<<"$info")"
  expect_eq "icon of $1" "$4" "$(sed -n 's/^\tIcon location\t*: //p' <<<"$info")"
}

# The launched program writes probe.txt into its working directory once it has started.
expect_launched() { # directory-without-backslash command-line
  local record i
  record="$(host_path "$1")/probe.txt"
  for ((i = 0; i < E2E_WAIT * 10; i++)); do [ -f "$record" ] && break; sleep 0.1; done
  expect_text "the launched program's record" "show=5${CRLF}dir=$1${CRLF}cmd=$2${CRLF}" "$record"
}

# ---- the full install over an earlier version ----
target_win='C:\Program Files\Acme Product'
target=$(host_path "$target_win")
# What an earlier version left: two files the install asks about, and the system's AUTOEXEC.BAT. The file
# type's key is not there yet, so that the install makes it.
rm -rf "$target"
mkdir -p "$target"
wine reg delete 'HKCU\.acme' /f </dev/null >/dev/null 2>&1 || true
printf 'Old settings.\r\n' >"$target/settings.ini"
printf 'Old notes.\r\n' >"$target/notes.txt"
old_autoexec="@ECHO OFF${CRLF}PATH C:\\WINDOWS${CRLF}"
printf '%s' "$old_autoexec" >"$drive_c/autoexec.bat"

new_start_dir product "$config"
expect_config_sound
run_to_wizard
# The program folder also on the desktop, and the full install rather than the preselected minimum.
choose() { # page
  case $1 in
  folders) drive click "$WIZARD_CAPTION" "Add Folder to Desktop" >/dev/null ;;
  type) drive click "$WIZARD_CAPTION" "Full Install ( All Files will be installed )" >/dev/null ;;
  esac
}
walk_to_ready choose >/dev/null
drive click "$WIZARD_CAPTION" "&Install" || fail "cannot press Install"
drive --timeout "$E2E_WAIT" text Confirm >/dev/null || fail "no overwrite question"
mkdir -p "$YAR_E2E_OUT/screenshots"
shoot_window "$WIZARD_CAPTION" "$YAR_E2E_OUT/screenshots/progress-product.png"
expect_box Confirm 'File Already Exists (settings.ini). Overwrite?' '&No'
expect_box Confirm 'File Already Exists (notes.txt). Overwrite?' '&Yes'
# The launch ends the run without a message.
ends_with ''
expect_eq "exit status" 0 "$setup_status"

expect_launched "$target_win\\bin" "\"$target_win\\bin\\probe.exe\" /from-setup \"two words\""

for name in readme.txt uninstaller.exe notes.txt; do expect_same_file "$name" "$files/$name" "$target/$name"; done
expect_same_file "program" "$files/probe.exe" "$target/bin/probe.exe"
expect_same_file "<SUB2>" "$files/data.bin" "$target/Data/data.bin"
expect_same_file "<SUB3><WINDOWS>" "$files/acme.fon" "$drive_c/windows/AcmeFonts/acme.fon"
expect_same_file "<WINDOWS_SYSTEM>" "$files/acmelib.dll" "$(host_path 'C:\windows\System')/acmelib.dll"
expect_same_file "<ALT1>" "$files/shared.dat" "$drive_c/AcmeShared/shared.dat"
expect_same_file "<SUB4><PROGRAMFILES>" "$files/common.dat" "$drive_c/Program Files/Acme Common/common.dat"
expect_same_file "setup program" "$start_dir/install.exe" "$target/install.exe"
expect_same_file "configuration" "$start_dir/install.cfg" "$target/install.cfg"
expect_text "settings.ini answered No" "Old settings.$CRLF" "$target/settings.ini"

# Shell folders as the system gives them: each shortcut where the choices asked for it, none elsewhere.
desktop=$(shell_folder Desktop)
programs=$(shell_folder Programs)
start_menu=$(shell_folder "Start Menu")
[[ -n $desktop && -n $programs && -n $start_menu ]] || fail "no shell folders in the registry"
app="$target_win\\bin\\probe.exe"
for folder in "$desktop\\Acme Tools" "$programs\\Acme Tools"; do
  expect_link "$(host_path "$folder")/Acme App.lnk" "$app" "$target_win\\bin\\" "$app"
  expect_link "$(host_path "$folder")/Acme Readme.lnk" "$target_win\\readme.txt" "$target_win\\" "$app"
done
for folder in "$desktop" "$start_menu"; do
  expect_link "$(host_path "$folder")/Acme App.lnk" "$app" "$target_win\\bin\\" "$app"
  [ ! -e "$(host_path "$folder")/Acme Readme.lnk" ] || fail "Acme Readme was not offered in $folder"
done
[ ! -e "$(host_path "$start_menu")/Acme Tools" ] || fail "the program folder is in the Start Menu, unasked"

expected_record="[Program]
Title=Acme Product
[UNINS]
$target_win\\*.*=
$target_win\\Setup\\*.*=
$target_win\\bin\\probe.exe=
$target_win\\readme.txt=
$target_win\\uninstaller.exe=
$target_win\\settings.ini=
$target_win\\notes.txt=
$target_win\\Data\\data.bin=
C:\\windows\\AcmeFonts\\acme.fon=
C:\\windows\\System\\acmelib.dll=
C:\\AcmeShared\\shared.dat=
C:\\Program Files\\Acme Common\\common.dat=
$desktop\\Acme Tools\\Acme Readme.*=
$programs\\Acme Tools\\Acme Readme.*=
$desktop\\Acme Tools\\Acme App.*=
$desktop\\Acme App.*=
$start_menu\\Acme App.*=
$programs\\Acme Tools\\Acme App.*=
C:\\windows\\acme.ini=
$target_win\\acme.ini=
[Directories - Made]
$target_win\\bin=
$target_win\\Data=
C:\\windows\\AcmeFonts=
C:\\AcmeShared=
C:\\Program Files\\Acme Common=
$desktop\\Acme Tools=
$programs\\Acme Tools=
[Folders]
$desktop\\Acme Tools=
$programs\\Acme Tools=
[Registry]
HKEY_LOCAL_MACHINE\\Software\\Acme E2E=
Software\\Acme E2E\\=
HKEY_CLASSES_ROOT\\.acme=
[Registry - Made]
HKEY_LOCAL_MACHINE\\Software\\Acme E2E=
HKEY_CURRENT_USER\\Software\\Acme E2E=
HKEY_CURRENT_USER\\.acme=
"
expect_text "uninstall.cfg" "${expected_record//$'\n'/$CRLF}" "$target/uninstall.cfg"

expect_text "INI file by a bare name" "[Paths]${CRLF}Home=$target_win\\$CRLF" "$drive_c/windows/acme.ini"
expect_text "INI file by its path" "[Paths]${CRLF}Data=$target_win\\Data\\$CRLF" "$target/acme.ini"
expect_eq "HKEY_LOCAL_MACHINE value" "$target_win\\bin" "$(reg_value 'HKLM\Software\Acme E2E\Settings' Path)"
expect_eq "HKEY_CURRENT_USER value" "E2E User" "$(reg_value 'HKCU\Software\Acme E2E\User' Name)"
expect_eq "another root, below HKEY_CURRENT_USER" "Acme File" "$(reg_value 'HKCU\.acme\shell' '')"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Acme Product'
expect_eq "DisplayName" "Acme Product" "$(reg_value "$uninstall_key" DisplayName)"
expect_eq "UninstallString" "\"$target_win\\uninstaller.exe\" Acme Product" "$(reg_value "$uninstall_key" UninstallString)"
expect_eq "the record's SHA-256" "$(sha256sum <"$target/uninstall.cfg" | cut -d' ' -f1)" \
  "$(reg_value "$uninstall_key" UninstallRecordSHA256)"

short_target=$(drive shortpath "$target_win") || fail "no short path for $target_win"
short_bin=$(drive shortpath "$target_win\\bin") || fail "no short path for $target_win\\bin"
expect_text "AUTOEXEC.BAT" "${old_autoexec}REM - Starting Tarnwick Update${CRLF}COPY/Y C:\\CONFIG.SYS $short_target\
${CRLF}SET ACMEPATH=$short_bin;%PATH%${CRLF}REM <NOSUCH> STAYS${CRLF}REM - End of Tarnwick$CRLF" "$drive_c/autoexec.bat"
expect_text "autoexec.yar" "$old_autoexec" "$drive_c/autoexec.yar"

# ---- the network workstation install, into a long path ----
long_win='C:\Program Files\Acme Product With A Rather Long Installation Directory Name For Launching'
long=$(host_path "$long_win")
[ ${#long_win} -gt 79 ] || fail "the long installation path is too short"
mkdir -p "$long"
printf 'Old readme.\r\n' >"$long/readme.txt"
printf 'Old notes.\r\n' >"$long/notes.txt"
new_start_dir product-workstation "${config/Install Dir=Acme Product/Install Dir=${long_win##*\\}}"
expect_config_sound
run_to_wizard
walk_to_ready >/dev/null
drive click "$WIZARD_CAPTION" "&Install" || fail "cannot press Install"
# Only the value with its own mark asks; the readme is replaced without a question.
expect_box Confirm 'File Already Exists (notes.txt). Overwrite?' '&No'
ends_with ''
expect_launched "$long_win\\bin" "\"$long_win\\bin\\probe.exe\" /from-setup \"two words\""
expect_same_file "workstation readme" "$files/readme.txt" "$long/readme.txt"
expect_same_file "workstation program" "$files/probe.exe" "$long/bin/probe.exe"
expect_text "notes.txt answered No" "Old notes.$CRLF" "$long/notes.txt"
for name in uninstaller.exe settings.ini Data/data.bin; do
  [ ! -e "$long/$name" ] || fail "the workstation install copied $name, which is not on its list"
done
expect_eq "workstation records" "$long_win\\*.*= $long_win\\Setup\\*.*= $long_win\\bin\\probe.exe= \
$long_win\\readme.txt= $long_win\\notes.txt= $long_win\\acme.ini= $long_win\\bin= $long_win\\Data=" \
  "$(tr -d '\r' <"$long/uninstall.cfg" | grep -F "$long_win" | paste -sd ' ')"
