# Shared pieces of the end-to-end scripts: a private X server and runtime folder, the game's
# window, screenshots and pixel counts, and waits that poll for a condition instead of guessing
# how long the machine takes. Source it after `set -uo pipefail`; every failure says why.
#   game=path/to/krelmo99; source e2e_lib.sh; e2e_init

e2e_init() {
  local tool
  command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed"; exit 77; }
  for tool in xdotool xwininfo import convert; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
  done
  # A runtime folder and settings file of our own: this game's lock, hand-over socket and
  # settings stay apart from any game the user is playing and from other test runs.
  work=$(mktemp -d)
  export XDG_RUNTIME_DIR=$work/runtime TMPDIR=$work KRELMO_REGISTRY=$work/krelmo.reg
  export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY
  shot=$work/shot.png
  game_pid=
  more_pids=()  # other games of a script's own, ended at the cleanup too
  xvfb_pid=
  trap e2e_cleanup EXIT
  # A display number of our own, well away from the low ones that people and other tools
  # start servers on by hand; the server says when it accepts clients. A number in use makes
  # the server end at once, and another is tried.
  local _ try
  for try in $(seq 20); do
    Xvfb ":$((200 + RANDOM % 700))" -displayfd 1 -screen 0 1024x768x24 -nolisten tcp \
      >"$work/display" 2>"$work/xvfb.err" &
    xvfb_pid=$!
    for _ in $(seq 100); do
      [[ -s "$work/display" ]] && break 2
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
  done
  [[ -s "$work/display" ]] || { cat "$work/xvfb.err"; fail "Xvfb did not start in $try tries"; }
  export DISPLAY=:$(head -n1 "$work/display")
}

# The X server of a loaded machine now and then resets a new connection (seen here: one connect
# in five while clients come and go). A tool that could not open the display sent nothing, so
# it is simply run again; any other outcome stands.
x_again() {
  local status try errors="$work/x-errors.$BASHPID.$RANDOM"
  for try in 1 2 3 4 5 6; do
    "$@" 2>"$errors"
    status=$?
    grep -qiE "can't open display|unable to open (X server|display)" "$errors" || break
    sleep 0.05
  done
  cat "$errors" >&2
  rm -f "$errors"
  return "$status"
}
xdotool() { x_again command xdotool "$@"; }
xwininfo() { x_again command xwininfo "$@"; }
xdpyinfo() { x_again command xdpyinfo "$@"; }
import() { x_again command import "$@"; }

e2e_cleanup() {
  local pid
  for pid in $game_pid "${more_pids[@]}"; do kill -0 "$pid" 2>/dev/null && kill "$pid"; done
  if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  rm -rf "$work"
}

# The settings file as UTF-8 text to search: the game writes it in UTF-16 after a byte-order
# mark, as the registry editor exports; a file the scripts wrote in UTF-8 is shown as it is.
settings_text() {
  if [[ "$(head -c 2 "$KRELMO_REGISTRY" 2>/dev/null | od -An -tx1 | tr -d ' \n')" == fffe ]]; then
    iconv -f UTF-16 -t UTF-8 "$KRELMO_REGISTRY"
  else cat "$KRELMO_REGISTRY"; fi
}

# Writes the settings file by hand, as a player or a script would (UTF-8, CR LF): the game's key
# holding the value lines given, each "name"=data.
write_settings() {
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf "[HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\By Tenvarre\\\\Krelmo'99\\\\v2]\r\n"
  printf '%s\r\n' "$@"
}

# Reports to the error stream, so that a failure inside $(...) is still seen.
fail() {
  echo "FAIL: $*" >&2
  # Named for the script and the process, so that runs side by side keep their own.
  local kept="${KRELMO_E2E_KEEP:-/tmp}/krelmo-e2e-$(basename "$0" .sh)-$$.png"
  if [[ -f "$shot" ]] && cp "$shot" "$kept" 2>/dev/null; then
    echo "last screenshot ($(date -r "$shot" +%T.%N | cut -c1-12)): $kept"
  fi
  [[ -n "${game_pid:-}" ]] &&
    echo "the game (pid $game_pid): $(ps -o stat=,etime=,time= -p "$game_pid" || echo ended)"
  echo "--- game's error output:"
  cat "$work/game.err" 2>/dev/null || true
  if [[ -n "${xvfb_pid:-}" ]] && ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "--- the X server on $DISPLAY had ended:"
    cat "$work/xvfb.err"
  elif command -v xdpyinfo >/dev/null && ! xdpyinfo >/dev/null 2>&1; then
    echo "--- the X server on $DISPLAY runs but does not answer:"
    ls -l /tmp/.X11-unix
    cat "$work/xvfb.err"
  fi
  exit 1
}

# Starts the game (extra arguments go to it) and waits for its window; sets game_pid, window,
# and client_x/client_y, the screen position of the client area's top-left corner.
start_game() { start_titled "Krelmo '99" "$@"; }

# The same for a window of another title (a playback's): start_titled TITLE [arguments...]
start_titled() {
  local title=$1
  shift
  window=
  local _ try
  for try in 1 2 3; do
    "$game" "$@" 2>"$work/game.err" &
    game_pid=$!
    for _ in $(seq 150); do
      window_shown "$title" && window=$found && break 2
      game_ended && break
      sleep 0.1
    done
    game_ended || break
    # On a loaded machine the X server now and then refuses a connection for a moment; the
    # game then says so and ends, as it should. That is the machine, not the game: start again.
    grep -q "could not connect to display" "$work/game.err" || break
    echo "note: start $try could not reach the X server ($(cat "$work/game.err")); starting again"
  done
  [[ -n "$window" ]] || fail "no window titled \"$title\" within 15 s$(game_ended && echo ": the game ended")"
  local geometry
  geometry=$(xdotool getwindowgeometry --shell "$window") || fail "no geometry for window $window"
  local X Y WIDTH HEIGHT
  eval "$geometry"
  # No window manager: no frame, and the client area sits under the menu bar.
  client_x=$X
  client_y=$((Y + HEIGHT - 436))
  # The first screen is drawn once the silver top wall shows.
  wait_for "the first screen" count_is_over C0C0C0 300 0 20 10 100
}

take_shot() { import -window root "$shot" || fail "import could not take a screenshot"; }

# The number of pixels of colour RRGGBB in the client rectangle x y width height of the
# last screenshot.
count() {
  local mark=(-fill black +opaque "#$1" -fill white -opaque "#$1")
  # Black pixels would be lost among those just painted black: mark them by negating.
  [[ $1 == 000000 ]] && mark=(-fill white +opaque "#000000" -negate)
  convert "$shot" -crop "$4x$5+$((client_x + $2))+$((client_y + $3))" +repage \
    "${mark[@]}" -format "%[fx:round(mean*w*h)]" info: || fail "convert could not read the screenshot"
}

count_is_over() { take_shot; (($(count "$1" "$2" "$3" "$4" "$5") > $6)); }

# The first screen, on every front end: the wall's top and bottom rows, the right wall, the
# empty play area and the paddle, each a client pixel of its colour.
expect_first_screen() {
  take_shot
  local x y colour what
  while read -r x y colour what; do
    (($(count "$colour" "$x" "$y" 1 1) == 1)) || fail "client ($x, $y), $what: not #$colour"
  done <<'END'
30 66 FF00FF top row of bricks
30 126 FF0000 bottom row
625 200 C0C0C0 right wall
300 300 000000 play area
300 414 FFFFFF paddle
END
}

# The bounding box "WxH+X+Y" of the white pixels in a client rectangle of the last screenshot,
# or empty when there are none.
white_box() {
  (($(count FFFFFF "$@") > 0)) || return 0
  convert "$shot" -crop "$3x$4+$((client_x + $1))+$((client_y + $2))" +repage \
    -fill black +opaque "#FFFFFF" -format "%@" info: || fail "convert could not read the screenshot"
}

# Polls a condition (a command) every 0.1 s for at most 30 s (or $limit s) of wall time, however
# slowly a loaded machine takes each look; fails naming what was awaited.
wait_for() {
  local what=$1 seconds=${limit:-30}
  local deadline=$((SECONDS + seconds))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || fail "$what did not happen within $seconds s"
    sleep 0.1
  done
}

# Gives a window the keyboard and waits until the X server says it has it, so that the keys
# sent next reach it and not whatever had the focus before.
focus_window() {
  local id=$1 deadline=$((SECONDS + 30))
  until [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$id" ]]; do
    ((SECONDS < deadline)) || fail "window $id did not get the keyboard within 30 s"
    timeout 5 xdotool windowfocus --sync "$id" 2>/dev/null
    sleep 0.1
  done
}

new_match() {
  xdotool key F2
  wait_for "the red scoreboard after F2${1:+ ($1)}" count_is_over FF0000 0 0 300 20 20
}

# Whether a window of title $1 shows; sets found to the first such window.
window_shown() { found=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1); [[ -n "$found" ]]; }
no_window() { ! window_shown "$1"; }
# Prints the id of a window of title $1 once it shows, for up to 15 s; fails quietly otherwise.
wait_for_window() {
  local _
  for _ in $(seq 150); do
    window_shown "$1" && { echo "$found"; return 0; }
    sleep 0.1
  done
  return 1
}
game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }

# Waits for the game to end after what $1 names; fails unless it ends with code 0.
await_exit() {
  local status=0
  limit=10 wait_for "the game's end after $1" game_ended
  wait "$game_pid" || status=$?
  game_pid=
  ((status == 0)) || fail "the game ended with code $status after $1"
}

quit_game() {
  focus_window "$window"
  xdotool key alt+F4
  await_exit Alt+F4
}

# Presses key $1 in the game, answers the question it asks with key $2, and gives the keyboard
# back to the game.
answer_question() {
  focus_window "$window"
  xdotool key "$1"
  wait_for "a question after $1" window_shown Warning
  focus_window "$found"
  xdotool key "$2"
  wait_for "the question to close after $2" no_window Warning
  focus_window "$window"
}

# Whether one of the recordings $1 ("123", "124|125") starts in what the disk audio driver
# wrote to $SDL_DISKAUDIOFILE, as find-recordings ($find_recordings) finds them.
heard() {
  [[ -f "$SDL_DISKAUDIOFILE" ]] || return 1
  "$find_recordings" "$SDL_DISKAUDIOFILE" | grep -Eq "^($1) at " ||
    { [[ ${PIPESTATUS[0]} -eq 0 ]] || fail "find-recordings could not read the recording"; return 1; }
}
