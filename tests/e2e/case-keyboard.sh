#!/usr/bin/env bash
# The setup as a user without a mouse and with a screen reader meets it: the wizard walked by the keyboard
# alone (Tab, Space, arrows, Alt and the marked letters, Escape, Enter) from the warning page to the end
# message, the folder browser opened and closed from its button; on each page every control a screen
# reader reaches has a name and the role of what it is, read through the system's accessibility interface
# (the check lists' items with their marks, the background's picture as a named graphic).
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"

# The accessible objects of a window, one per line (see yardrive's accessible command).
tree() { drive accessible "$1" || fail "no accessible object for '$1'"; }

# Every object without children that a screen reader reaches has a name and a role of its own (a bare
# client area is a control the system knows nothing of); containers may go unnamed.
expect_named() { # caption what
  local objects bad
  objects=$(tree "$1")
  bad=$(awk -F'\t' '{ match($0, /^ */); depth[NR] = RLENGTH; line[NR] = $0; role[NR] = substr($1, RLENGTH + 1); name[NR] = $2 }
    END { for (i = 1; i <= NR; i++) if ((i == NR || depth[i + 1] <= depth[i]) && (role[i] == "client" || name[i] == "")) print line[i] }' \
    <<<"$objects")
  [ -z "$bad" ] || fail "$2: objects without a name or a role: $bad"
  echo "$objects"
}

# The object of ROLE and NAME in a tree, its states (the fourth field); nothing when there is none.
states_of() { # tree role name
  awk -F'\t' -v r="$2" -v n="$3" '{ sub(/^ */, "", $1) } $1 == r && $2 == n { print $4; exit }' <<<"$1"
}

expect_state() { # what tree role name state yes|no
  local states
  states=$(states_of "$2" "$3" "$4")
  case ",$states," in
  *",$5,"*) [ "$6" = yes ] || fail "$1: '$4' is $5 ($states)" ;;
  *) [ "$6" = no ] || fail "$1: '$4' is not $5 ($states)" ;;
  esac
}

# The role and name of the control that has the keyboard (fields 4 and 5 of yardrive's focus line).
focus() { drive focus "$WIZARD_CAPTION" | awk -F'\t' '{ print $4 ": " $5 }'; }

key() { drive keys "$WIZARD_CAPTION" "$@" || fail "cannot type $*"; }

# Tab until the focus is on WHAT ("role: name"); at most twelve keys. Prints every stop on the way.
tab_to() { # what
  local i now
  for ((i = 0; i < 12; i++)); do
    now=$(focus)
    echo "$now"
    [ "$now" = "$1" ] && return 0
    key tab
  done
  fail "Tab never reached '$1'"
}

# A key that moves the wizard on, and the page it must show then.
key_to() { # key page
  local i
  key "$1"
  for ((i = 0; i < E2E_WAIT * 5; i++)); do
    [ "$(wizard_page)" = "$2" ] && return 0
    sleep 0.2
  done
  fail "'$1' did not lead to the $2 page (showing: $(wizard_page))"
}

use_product_diskset
# The walk installs shortcuts and a program: in a prefix of its own, so that no other case finds them.
use_disposable_prefix
new_start_dir keyboard "$(
  cat <<'CFG'
[Setup - Main]
Show Re-Boot=0
Work Station Prompt=1
Folder=Acme Tools
Bitmap File=logo.gif
Header=Acme Tools
[Files]
File1=readme.txt~<INSTALLDIR>
[Desktop]
Icon1=Acme Readme~<INSTALLDIR>readme.txt~X~X~<INSTALLDIR>readme.txt~Acme Tools
Icon2=Acme Notes~<INSTALLDIR>readme.txt~X~X~<INSTALLDIR>readme.txt~Acme Tools
CFG
)"
run_to_wizard

# The background: its texts and the product's picture.
background=$(tree "$MAIN_CAPTION")
[ -n "$(states_of "$background" graphic "Acme Tools")" ] || fail "the picture is no graphic named for the product"
[ -n "$(states_of "$background" "static text" "Acme Tools")" ] || fail "the header is not read"

# The warning: the keyboard starts in its text, Tab goes on to the buttons; Alt+N leads on.
expect_page welcome
expect_named "$WIZARD_CAPTION" "warning page" >/dev/null
expect_eq "first focus" "text: Warning" "$(focus)"
tab_to "push button: Next" >/dev/null
key_to alt+n licence

# The licence: Next is unavailable, Tab reaches Decline and Accept, Alt+A accepts.
objects=$(expect_named "$WIZARD_CAPTION" "licence page")
expect_state "licence page" "$objects" "push button" Next unavailable yes
expect_state "licence page" "$objects" "push button" Accept default yes
stops=$(tab_to "push button: Accept")
grep -qx "push button: Decline" <<<"$stops" || fail "Tab passed no Decline on its way: $stops"
key_to alt+a destination

# The destination: the edit is named by its frame, the browser's button by its hint; Space on the button
# opens the folder browser, Escape closes it and the keyboard is back on the button.
expect_named "$WIZARD_CAPTION" "destination page" >/dev/null
tab_to "text: Destination  Directory" >/dev/null
tab_to "push button: Browse for Directory" >/dev/null
before=$(drive windows | grep -c '#32770' || true)
key space
for ((i = 0; i < E2E_WAIT * 5; i++)); do
  browser=$(drive windows | awk -F'\t' '$2 == "#32770" { print $3; exit }')
  [ -n "$browser" ] && break
  sleep 0.2
done
[ -n "$browser" ] || fail "Space on the browser's button opened no folder browser ($before boxes before)"
drive keys "$browser" escape || fail "cannot type Escape into the folder browser"
drive --timeout "$E2E_WAIT" wait-gone "$browser" 10 >/dev/null || fail "Escape did not close the folder browser"
sleep 0.5
expect_eq "focus after the browser" "push button: Browse for Directory" "$(focus)"
key_to alt+n folders

# The folders: each list tells its shortcuts as check buttons with their marks; Space turns the focused
# one over, Down moves the focus to the next.
objects=$(expect_named "$WIZARD_CAPTION" "folders page")
for shortcut in "Acme Readme" "Acme Notes"; do
  [ -n "$(states_of "$objects" "check button" "$shortcut")" ] || fail "no check button '$shortcut' in $objects"
done
tab_to "list: Add Shortcut to Desktop?" >/dev/null
# The desktop list as the reader tells it: the list, then its two items (name, states).
desktop_list() { drive accessible "$WIZARD_CAPTION" | grep -A2 $'list\tAdd Shortcut to Desktop?'; }
# Under Wine the first key typed into the list after Tab brought the keyboard there is lost (the same keys
# posted inside the program are not: see the toolkit's tests); a Home first, that changes nothing.
key home
key end
list=$(desktop_list)
first=$(sed -n 2p <<<"$list" | cut -f2)
second=$(sed -n 3p <<<"$list" | cut -f2)
expect_state "End" "$list" "check button" "$second" focused yes
key up
list=$(desktop_list)
expect_state "Up" "$list" "check button" "$first" focused yes
expect_state "Up" "$list" "check button" "$second" focused no
was=$(sed -n 2p <<<"$list" | cut -f4)
key space
list=$(desktop_list)
case ",$was," in
*,checked,*) expect_state "Space on '$first'" "$list" "check button" "$first" checked no ;;
*) expect_state "Space on '$first'" "$list" "check button" "$first" checked yes ;;
esac
marked=$(states_of "$list" "check button" "$first" | grep -o checked || true)
key down
list=$(desktop_list)
expect_state "Down" "$list" "check button" "$second" focused yes
expect_eq "the mark of '$first' after Down" "$marked" "$(states_of "$list" "check button" "$first" | grep -o checked || true)"
key_to alt+n type

# The install type: two radio buttons, one checked.
objects=$(expect_named "$WIZARD_CAPTION" "type page")
expect_eq "checked radio buttons" 1 "$(grep -c $'^ *radio button\t.*checked' <<<"$objects")"
key_to alt+n ready

# Ready: the end choice and the summary, then Alt+I installs; Enter answers the end message.
expect_named "$WIZARD_CAPTION" "ready page" >/dev/null
key alt+i
drive --timeout "$E2E_WAIT" wait-window "$APP_TITLE" 60 >/dev/null || fail "no end message"
# The message box is the system's: its objects are the system's standard ones (under Wine a button and a
# text tell only their names, as client areas), so its text and button are looked for by name.
box=$(tree "$APP_TITLE")
grep -qF $'\tOK\t' <<<"$box" || fail "the end message's OK is not told: $box"
grep -qF $'\tYour installation of \\rAcme Tools\\rhas be completed.' <<<"$box" || fail "the end message's text is not told: $box"
drive keys "$APP_TITLE" enter || fail "cannot type Enter into the end message"
expect_setup_ends
