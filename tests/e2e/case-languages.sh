#!/usr/bin/env bash
# The wizard in German and Japanese, chosen by the user's interface language (Wine's from LC_ALL), walked
# page by page beside the English walk: the same controls on every page, and no text that needs more room
# than its control has (the driver measures each text in the control's own font). The Japanese walk
# reads its texts in Shift-JIS (Wine's ANSI code page 932 under ja_JP). Then /LANG= over the interface
# language, install.cfg's Languages list, and a language file of the set that lacks a key: that text
# shows in English, the others in the set's words. Screenshots of every page go to
# screenshots/wizard-<language>-<page>.png.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"

languages="$e2e_root/config/languages"
shots="$YAR_E2E_OUT/screenshots"
mkdir -p "$shots"

# The language's code page as iconv names it.

# The text of KEY as FILE holds it, in the file's own bytes, quotes and line end taken off.
text_in() { # file key
  grep -a -m1 "^$2=" "$1" | sed -E 's/^[^=]*="?//; s/"?\r?$//'
}
# Bytes written as \xHH each: the driver's --escaped form, the same whatever the shell's locale.
escaped() { od -An -tx1 | tr -d ' \n' | sed 's/../\\x&/g'; }
text_of() { printf "%s" "$(text_in "$languages/lang-$1.ini" "$2")" | escaped; } # code key
# The driver with its arguments in the escaped form.
ldrive() { drive --escaped 1 "$@"; }

# The page the wizard shows, by a control only that page holds, in language CODE.
page_in() { # code
  local marks=() key shown i
  local keys=(Accept DestinationGroup FolderStartMenu MinInstall LaunchAfter)
  local names=(licence destination folders type ready)
  for key in "${keys[@]}"; do marks+=("$(text_of "$1" "$key")"); done
  shown=$(ldrive showing "$caption" "${marks[@]}") || true
  shown=$(printf '%s' "$shown" | escaped)
  for i in "${!keys[@]}"; do
    [ "$shown" = "${marks[$i]}" ] && { echo "${names[$i]}"; return 0; }
  done
  echo welcome
}

# The controls of the page as a list of id, class and state: what must be the same in every language.
layout() { ldrive controls "$caption" | cut -f1-4; }

# Walks the wizard of a run in language CODE to its ready page; on every page keeps the layout in
# $e2e_run/layout-<page>.txt, measures the texts and takes a screenshot. Then cancels.
walk_in() { # code
  local code=$1 page next accept i
  next=$(text_of "$code" NextButton)
  accept=$(text_of "$code" Accept)
  for ((i = 0; i < 8; i++)); do
    page=$(page_in "$code")
    layout >"$e2e_run/layout-$page.txt"
    read -r win_left win_top right bottom <<<"$(ldrive rect "$caption")"
    win_width=$((right - win_left))
    win_height=$((bottom - win_top))
    import -display "$DISPLAY" -window root -crop "${win_width}x${win_height}+${win_left}+${win_top}" +repage \
      "$shots/wizard-$code-$i-$page.png"
    ldrive fit "$caption" >"$e2e_run/fit-$page.txt" ||
      fail "$code, page $page: a text is clipped: $(grep -a clipped "$e2e_run/fit-$page.txt" | iconv -f "$(case $code in ja) echo CP932 ;; *) echo CP1252 ;; esac)" -t UTF-8)"
    [ "$page" = ready ] && break
    if [ "$page" = licence ]; then ldrive click "$caption" "$accept"; else ldrive click "$caption" "$next"; fi
    local j
    for ((j = 0; j < E2E_WAIT * 5; j++)); do
      [ "$(page_in "$code")" != "$page" ] && break
      sleep 0.2
    done
  done
  expect_eq "$code: last page" ready "$page"
  cancel_in "$code"
}

# Closes the wizard, which counts as Cancel, answers the message that says so, and waits for the end.
cancel_in() { # code
  ldrive close "$caption" || fail "cannot close the wizard"
  ldrive --timeout "$E2E_WAIT" answer "$(text_of "$1" SetupTitle)" OK || fail "$1: no message at the end"
  expect_setup_ends
}

# Starts the setup of $start_dir with ARGS under the interface language LOCALE and waits for the wizard in
# language CODE.
run_in() { # locale code args...
  export LC_ALL=$1
  local code=$2
  shift 2
  caption=$(text_of "$code" WizardCaption)
  start_setup_from "$start_dir" "$@"
  local i
  for ((i = 0; i < E2E_WAIT * 5; i++)); do
    ldrive visible "$caption" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  show_windows
  fail "no wizard in $code under $LC_ALL"
}

config=$'[Setup - Main]\nShow Re-Boot=0\nWork Station Prompt=1\nFolder=Acme Tools'
use_product_diskset

# English, German and Japanese walks: the same controls, page by page.
for walk in "en_US.UTF-8 en" "de_DE.UTF-8 de" "ja_JP.UTF-8 ja"; do
  read -r locale code <<<"$walk"
  new_start_dir "languages-$code" "$config"
  run_in "$locale" "$code"
  walk_in "$code"
done
english="$YAR_E2E_OUT/run/languages-en"
for code in de ja; do
  for layout in "$english"/layout-*.txt; do
    page=$(basename "$layout")
    diff "$layout" "$YAR_E2E_OUT/run/languages-$code/$page" >&2 ||
      fail "$code: the controls of ${page#layout-} differ from the English page"
  done
done

# /LANG= wins over the interface language.
new_start_dir languages-switch "$config"
run_in de_DE.UTF-8 fr /LANG=fr
expect_eq "French under a German interface" showing "$(ldrive showing "$caption" "$(text_of fr NextButton)")"
cancel_in fr

# install.cfg allows French only: a German user sees French.
new_start_dir languages-allowed "$config"$'\nLanguages=fr'
run_in de_DE.UTF-8 fr
expect_eq "French allowed only" showing "$(ldrive showing "$caption" "$(text_of fr NextButton)")"
cancel_in fr

# A German file of the set's own, without the Next button's text and with a key the setup does not know:
# it replaces the built-in one, and the missing text shows in English.
set="$YAR_E2E_OUT/run/languages-set"
rm -rf "$set"
mkdir -p "$set/files"
cp "$diskset"/files/* "$set/files/"
grep -a -v '^NextButton=' "$languages/lang-de.ini" | sed 's/^CancelButton=.*/CancelButton="\&Schluss"\r/' \
  >"$set/files/lang-de.ini"
printf 'NoSuchText="x"\r\n' >>"$set/files/lang-de.ini"
(cd "$set/files" && wine_within "$E2E_WAIT" "$YAR_TOOL" pack -q ../disk.001 ./* </dev/null) ||
  fail "yar pack of the set failed"
diskset=$set
new_start_dir languages-fallback "$config"
run_in de_DE.UTF-8 de
expect_eq "the set's own text" showing "$(ldrive showing "$caption" '&Schluss')"
expect_eq "English for the missing key" showing "$(ldrive showing "$caption" '&Next')"
expect_eq "German for the others" showing "$(ldrive showing "$caption" "$(text_of de BackButton)")"
cancel_in de
