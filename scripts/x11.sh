# X11 interaction shared by the end-to-end tests, the help pictures, the
# soak and the monkey: waiting until a condition holds, finding X windows,
# and reading and clicking the controls and list rows of the program's
# windows with the real pointer. Source it after lib.sh.
#
# The functions that read a window take an ASKER first: a command that runs
# the end-to-end helper (e2e_host.exe) with its arguments and prints its
# answer without carriage returns, so each caller chooses the prefix and the
# program whose windows count.
# shellcheck shell=bash

# --- Waiting -------------------------------------------------------------------

# Runs a command every INTERVAL_MS milliseconds until it succeeds; false
# once it has tried TIMEOUT * 1000 / INTERVAL_MS times (the command's own
# time comes on top), or with --by-clock once TIMEOUT seconds have passed.
# The command's output is dropped; it runs in this shell, so the variables
# it sets stay set. (Its own variables are prefixed so as not to hide the
# caller's.)
zor_poll_every() {  # [--by-clock] INTERVAL_MS TIMEOUT COMMAND...
  local zor_poll_deadline="" zor_poll_pause _
  if [ "$1" = --by-clock ]; then
    shift
    zor_poll_deadline=$(($(date +%s%3N) + $2 * 1000))
  fi
  zor_poll_pause=$(printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)))
  if [ -n "$zor_poll_deadline" ]; then
    shift 2
    until "$@" >/dev/null 2>&1; do
      [ "$(date +%s%3N)" -lt "$zor_poll_deadline" ] || return 1
      sleep "$zor_poll_pause"
    done
    return 0
  fi
  local zor_poll_tries=$(($2 * 1000 / $1))
  shift 2
  for _ in $(seq 1 "$zor_poll_tries"); do
    "$@" >/dev/null 2>&1 && return 0
    sleep "$zor_poll_pause"
  done
  return 1
}

# Runs a command every 0.1 s until it succeeds; false after TIMEOUT seconds.
zor_poll() { zor_poll_every 100 "$@"; }  # TIMEOUT COMMAND...

zor_process_gone() { ! kill -0 "$1" 2>/dev/null; }  # PID

# --- X windows -------------------------------------------------------------------

# Prints the first visible X window whose name matches the pattern; false when none.
zor_x_window() {  # PATTERN
  local id
  id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
  [ -n "$id" ] && echo "$id"
}

# Waits until a visible X window whose name matches the pattern exists
# (xdotool polls); prints its id, nothing after TIMEOUT seconds.
zor_wait_x_window() {  # PATTERN [TIMEOUT]
  timeout "${2:-20}" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1
}

zor_x_focus_is() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }  # WINDOW_ID

# --- Controls ------------------------------------------------------------------

# "ENABLED VISIBLE CHECKED" of a control of WINDOW; "missing" when there is none.
zor_control_state() {  # ASKER WINDOW CLASS TEXT [N]
  local asker="$1" rest
  shift
  read -r _ _ _ _ _ _ rest < <("$asker" control "$@") || true
  echo "${rest:-missing}"
}

# Clicks a control at its centre with the real pointer; false, saying why,
# when it is missing, hidden or disabled.
zor_click_control() {  # ASKER WINDOW CLASS TEXT [N]
  local asker="$1" x y enabled visible
  shift
  read -r _ _ _ _ x y enabled visible _ < <("$asker" control "$@") || true
  [ -n "${y:-}" ] || { echo "no control: $*"; return 1; }
  [ "$enabled$visible" = "11" ] || { echo "control not usable (enabled $enabled, visible $visible): $*"; return 1; }
  xdotool mousemove "$x" "$y" click 1
}

# Presses KEY until the control with the keyboard focus in the foreground
# window has an id matching the pattern ID, TRIES times at most (0.15 s
# apart); false, saying where the focus is, when it never does.
zor_key_until_focus() {  # ASKER ID KEY TRIES
  local _
  for _ in $(seq 1 "$4"); do
    [[ "$("$1" focus | cut -f1)" =~ ^($2)$ ]] && return 0
    xdotool key "$3"
    sleep 0.15
  done
  echo "no focus on $2 (it is on $("$1" focus | cut -f1))"
  return 1
}

# --- List boxes ------------------------------------------------------------------

# Reads the first list box of WINDOW: LIST_ROWS (the rows' texts, row 0
# first), LIST_SELECTED, LIST_ITEM_H (a row's height), LIST_TOP (the first
# row shown), LIST_LEFT and LIST_CLIENT_TOP (its client area's corner on
# the screen).
# shellcheck disable=SC2034 # the callers read the list's variables
zor_read_list() {  # ASKER WINDOW
  local line
  LIST_ROWS=() LIST_SELECTED="" LIST_ITEM_H="" LIST_TOP="" LIST_LEFT="" LIST_CLIENT_TOP=""
  while IFS= read -r line; do
    case "$line" in
      count\ *) ;;
      selected\ *) LIST_SELECTED=${line#selected } ;;
      itemheight\ *) LIST_ITEM_H=${line#itemheight } ;;
      top\ *) LIST_TOP=${line#top } ;;
      client\ *) read -r _ LIST_LEFT LIST_CLIENT_TOP _ <<<"$line" ;;
      *) LIST_ROWS+=("${line#*$'\t'}") ;;
    esac
  done < <("$1" list "$2")
}

# Sets LIST_ROW to the row of the list read last that reads TEXT ("#N":
# row N); the last such row when several do. False when none does.
zor_list_row() {  # TEXT
  local i
  LIST_ROW=""
  for i in "${!LIST_ROWS[@]}"; do
    if [ "${LIST_ROWS[i]}" = "$1" ] || [ "#$i" = "$1" ]; then LIST_ROW=$i; fi
  done
  [ -n "$LIST_ROW" ]
}

# The screen point "X Y" of a row of the list read last: INSET pixels
# (default 40) from the list's left, half a row down from the row's top.
zor_list_row_point() {  # ROW [INSET]
  echo "$((LIST_LEFT + ${2:-40})) $((LIST_CLIENT_TOP + ($1 - LIST_TOP) * LIST_ITEM_H + LIST_ITEM_H / 2))"
}

# Clicks (CLICKS times, default once) the row of WINDOW's first list box
# that reads TEXT ("#N": row N), INSET pixels from the left; false when no
# row does.
zor_click_list_row() {  # ASKER WINDOW TEXT [INSET] [CLICKS]
  local x y
  zor_read_list "$1" "$2"
  zor_list_row "$3" || return 1
  read -r x y < <(zor_list_row_point "$LIST_ROW" "${4:-40}")
  xdotool mousemove "$x" "$y" click --repeat "${5:-1}" --delay 80 1
}

# --- The settings dialog's menus ---------------------------------------------------

# A menu (window class #32768) shows.
zor_menu_shown() { "$1" windows | grep -q $'#32768\t'; }  # ASKER

# Opens a menu of the settings dialog WINDOW with the keyboard: the dialog
# focused by a click on its count label, then KEY. Right after a modal
# dialog has closed the key is now and then lost: a menu that does not show
# within 3 s is asked for again, three times at most. (No Escape between:
# with no menu up it would close the settings dialog; the next click ends
# whatever menu mode the key left.) With "bar" the key chooses a command of
# the menu bar itself and no menu is awaited.
zor_open_settings_menu() {  # ASKER WINDOW KEY [bar]
  local try
  for try in 1 2 3; do
    zor_click_control "$1" "$2" Static 登録数 >/dev/null || return 1
    sleep 0.3
    xdotool key "$3"
    [ "${4:-}" != bar ] || return 0
    zor_poll 3 zor_menu_shown "$1" && return 0
    [ "$try" = 3 ] || sleep 0.5
  done
  return 1
}
