# shellcheck shell=bash
# End-to-end test harness for t462: either program, t462.exe under Wine or
# the native Linux program t462, in a virtual X server.
#
# Conventions
# -----------
# - A test is tests/e2e/test_<area>_<what>.sh, run by bash from any working
#   directory. It starts with
#       source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
#   and exits 0 when it passes, 77 when it cannot run here (skipped), anything
#   else when it fails. `fail MESSAGE` and the assert_* helpers print the
#   reason and exit 1; `pass` prints PASS and exits 0.
# - Targets: E2E_TARGET names the program a run drives, "windows" (t462.exe
#   under Wine) or "linux" (the native program). Tests are written once for
#   both; where the two differ (how the program starts and stops, what
#   Windows itself is asked about the windows, what only one system has),
#   the difference lives in one function of the section "The two targets"
#   below, never in a test. A test about one program only says so in a line
#   "# Targets: windows" (or linux) of its own and is skipped for the other;
#   "# Targets: any" marks a test that runs no program: it runs once.
# - A time limit (tools/test.sh uses timeout, which signals the test's whole
#   process group) ends the test through the same trap; the X server and
#   the program run in sessions of their own so the failure screenshot still
#   shows them. Keep waits short or interruptible.
# - Sourcing this file sets `set -uo pipefail` (not -e: helpers report
#   through their status; the rule for every script is at the top of
#   tools/lib.sh), makes a private temporary folder $E2E_TMP and
#   installs an EXIT trap that, whatever the outcome, stops the program
#   (wineserver -k on the test's own WINEPREFIX, or the native program's
#   processes) and the Xvfb it started, and removes $E2E_TMP. On failure it
#   first saves a screenshot, the list of X windows, the program's log and
#   the run folder's listing in $E2E_ARTIFACTS. Do not replace that trap;
#   add work with `on_exit CMD`.
# - Each test runs the program in a fresh copy of the staged run folder
#   (`start_windows`, through `start_program`), so files the program writes
#   (feedback image, snapshots) never leak from one test into another. The test's shell is
#   cd'ed into that copy: relative file names mean the program's files.
# - Windows are found by exact title: "t462" is the display window, "com" the
#   control panel. Functions take a title where they take a window; those
#   that ask Windows itself take its class too (NORMAL0 the display window,
#   NORMAL1 the panel).
# - Keys go to the focused window through XTEST; GetKeyState only sees what
#   a frame has had time to receive, so keys are held across a frame
#   (`hold_key`).
# - Code pages: a test whose texts or file names matter says so in a line
#   "# Code pages: 932 1252" of its own; tools/test.sh then runs it against
#   t462.exe once under each (LC_ALL ja_JP.UTF-8 and C.UTF-8, passed as
#   E2E_LOCALE). Every other test runs under code page 932. The Linux program
#   has no code page: it runs each test once, in the user's UTF-8 locale.
#
# Environment (all optional)
#   E2E_TARGET       windows (default) or linux: the program to drive
#   T462_STAGED_DIR  staged run folder to copy (default build/windows/t462,
#                    or build/linux/t462 for the Linux program)
#   WINEPREFIX       Wine prefix to use; tools/test.sh passes a fresh one it
#                    created for the run. Unset: a prefix is created in
#                    $E2E_TMP (the first start then takes 10-30 s).
#   E2E_DISPLAY      X display number to use instead of picking a free one
#   E2E_ARTIFACTS    where failure artifacts go
#                    (default build/e2e-artifacts/<test name>)
#   E2E_PIDFILE      file to which the pids of started Xvfb servers and
#                    program sessions are appended, so that a runner can
#                    clean up after a test that was killed by its time limit
#                    (each is the leader of its process group)
#   E2E_START_TIMEOUT seconds to wait for a window to appear (default 90)
#   E2E_WAYLAND_USER the unprivileged user sway runs as when the test runs as
#                    root (default t462-wayland; created on first use)
#   E2E_LOCALE       the locale the program runs in (default ja_JP.UTF-8,
#                    code page 932, for t462.exe; the caller's UTF-8 locale,
#                    else C.UTF-8, for the Linux program)
#
# Functions
#   start_xvfb [WxH[xD]]     start Xvfb (default 1920x1080x24), export DISPLAY
#   start_window_manager NAME  run the window manager NAME (openbox, i3 or
#                            xfwm4) on that display; start_openbox is
#                            start_window_manager openbox
#   start_sway [WxH]         a headless sway session with XWayland, run as the
#                            unprivileged user $E2E_WAYLAND_USER (sway refuses
#                            root); exports DISPLAY (XWayland), WAYLAND_DISPLAY
#                            and XDG_RUNTIME_DIR; the program then runs as
#                            that user, as in a user's own session
#   start_sway [WxH] portal  the same in one D-Bus session with PipeWire,
#                            WirePlumber, xdg-desktop-portal and
#                            xdg-desktop-portal-wlr (and the test's shared-
#                            memory shim, portal_shm_shim.c); exports
#                            DBUS_SESSION_BUS_ADDRESS and the program's
#                            XDG_STATE_HOME. The portal's chooser answers
#                            HEADLESS-1 and adds a line to portal_questions,
#                            or declines while $E2E_PORTAL_DIR/decline exists
#   portal_questions         how often the portal has asked which screen to share
#   start_weston [WxH]       a headless weston session with XWayland, the same
#                            way (weston runs as whoever starts it)
#   wayland_shot FILE [X,Y WxH]  PNG of the sway output, or of a rectangle of
#                            it, taken by the compositor (grim)
#   start_program [ARGS]     copy the staged folder, cd into it, start the
#                            program
#   start_program_in DIR [ARGS]  start the program found in DIR, in DIR, no
#                            copy
#   start_windows [--in DIR] [--wait S] [--what TEXT] [WxH[xD]]
#                            the usual start: Xvfb of that size (without a
#                            size: the display that is up, a window manager's
#                            or a compositor's, else start_xvfb's default),
#                            the program in a fresh copy of the staged folder
#                            (start_program) or in DIR (and cd there), then
#                            wait_windows
#   wait_windows [--wait S] [--what TEXT]  wait until the display window and
#                            the panel are there (S s for each, default
#                            E2E_START_TIMEOUT); sets DISPLAY_WINDOW and
#                            PANEL_WINDOW to their X ids; fails with
#                            "TEXT: the display window did not appear" (or
#                            "the control panel")
#   program_running          true while the started program has not ended
#   stop_program             kill it and wait, to start again
#   wait_exit TIMEOUT        wait for the end; prints and returns its exit
#                            code, or prints "timeout" and returns 124
#                            (the program keeps running)
#   wait_program_gone        after the end: until every process it leaves
#                            behind (Wine's server) has gone too
#   wait_window TITLE [TIMEOUT]  wait until a mapped window has that title;
#                            prints its X id
#   window_id TITLE          X id of the window with that title, now
#   window_gone TITLE [TIMEOUT]  wait until no window has that title
#   win_geometry TITLE       "X Y W H" of the X window (screen coordinates)
#   close_window TITLE       close request as a window manager sends it
#   screenshot FILE          PNG of the whole virtual screen
#   pixel_at FILE X Y        "R G B" (0-255) of one pixel of an image
#   hold_key KEY [TITLE]     focus TITLE (default t462), key down, 50 ms, up
#   click X Y                move the pointer and click button 1
#   count_rewrites FILE SECONDS  how often FILE is closed after writing
#                            within SECONDS (the frame rate, seen from outside)
#   files_written DIR SECONDS  the names (relative to DIR, one a line, sorted)
#                            of the files in DIR and below written within
#                            SECONDS
#   process_cpu_ticks        CPU time (clock ticks) used so far by the program
#   program_unix_pids        the Unix process(es) of the running program
#   note MSG / fail MSG / pass
#   assert_eq EXPECTED ACTUAL WHAT, assert_ne, assert_ge A B WHAT (A >= B),
#   assert_le A B WHAT, assert_between VALUE LOW HIGH WHAT,
#   assert_file FILE, assert_running WHAT, assert_no_window TITLE
#
# The two targets (each differs between t462.exe and the Linux program)
#   target_has WHAT          whether the program's system has WHAT:
#                            "wine" (a Wine prefix: registry, handle table),
#                            "sharing_locks" (a file opened without sharing
#                            locks other programs out), "root_writes_read_only"
#                            (root may write a read-only file: under Wine),
#                            "monitors" (the virtual screen can be split into
#                            several monitors: RandR's, which the Linux
#                            program reads; Wine here cannot be given a second)
#   system_code_page         the code page of the program's system (for names
#                            read as the system's): 932, 1252, or utf-8 for
#                            the Linux program
#   window_frame TITLE       "L T R B": how far the window rectangle reaches
#                            past the client area on each side
#   windows_rect CLASS TITLE "L T R B" of GetWindowRect
#   windows_client CLASS TITLE  "L T R B" of the client area in screen
#                            coordinates
#   window_known CLASS TITLE prints "visible 1" (or 0) while the system
#                            still has such a window; fails when it has none
#   win_move X Y [W H]       move (and resize) the panel's window rectangle as
#                            the system would; prints its rectangle
#   raise_display            put the display window at the top of the
#                            ordinary windows; prints "above" when the panel
#                            still lies above it, "below" otherwise
#   program_handles          the program's open handles: Wine's handle table
#                            size, or the Linux program's open descriptors
#
# Program output (stdout and stderr) goes to $PROGRAM_LOG.

set -uo pipefail

E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_REPO=$(cd "$E2E_LIB_DIR/../.." && pwd)
E2E_NAME=$(basename "${0%.sh}")
: "${E2E_TARGET:=windows}"
case $E2E_TARGET in
  windows) E2E_PROGRAM=t462.exe ;;
  linux) E2E_PROGRAM=t462 ;;
  *)
    echo "lib.sh: E2E_TARGET is windows or linux, not '$E2E_TARGET'" >&2
    exit 2
    ;;
esac
: "${T462_STAGED_DIR:=$E2E_REPO/build/$E2E_TARGET/t462}"
: "${E2E_ARTIFACTS:=$E2E_REPO/build/e2e-artifacts/$E2E_NAME}"
: "${E2E_START_TIMEOUT:=90}"
# Helper programs built from source on first use (x11-close-window, win_query).
: "${E2E_TOOLS:=$E2E_REPO/build/e2e-tools}"

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/t462-e2e.XXXXXX")
PROGRAM_LOG=$E2E_TMP/program.log
RUN_DIR=
PROGRAM_PID=
DISPLAY_WINDOW=
PANEL_WINDOW=
XVFB_PID=
WM_PID=
WAYLAND_PID=
E2E_RUN_AS=
E2E_OWN_PREFIX=0
E2E_EXIT_HOOKS=()

# Wine's settings, as tools/run.sh gives them to a user's run; the language
# is Japanese (code page 932) unless the runner asks for another
# (E2E_LOCALE, see "Code pages" above). The Linux program takes only the
# locale from them.
# shellcheck source=../../tools/wine-env.sh
source "$E2E_REPO/tools/wine-env.sh"
if [[ $E2E_TARGET == windows ]]; then
  t462_wine_env "${E2E_LOCALE:-ja_JP.UTF-8}"
  if [[ -z "${WINEPREFIX:-}" ]]; then
    export WINEPREFIX=$E2E_TMP/wineprefix
    E2E_OWN_PREFIX=1
  fi
else
  t462_wine_env "${E2E_LOCALE:-}"
fi
# Never draw on the user's screen: a test gets a display only from start_xvfb.
unset DISPLAY

note() { printf '[%s] %s\n' "$E2E_NAME" "$*"; }

fail() {
  printf '[%s] FAIL: %s\n' "$E2E_NAME" "$*" >&2
  exit 1
}

pass() {
  printf '[%s] PASS\n' "$E2E_NAME"
  exit 0
}

skip() {
  printf '[%s] SKIP: %s\n' "$E2E_NAME" "$*"
  exit 77
}

on_exit() { E2E_EXIT_HOOKS+=("$*"); }

# --- X server -----------------------------------------------------------------

e2e_display_free() {
  [[ ! -e /tmp/.X$1-lock && ! -e /tmp/.X11-unix/X$1 ]]
}

start_xvfb() {
  local size=${1:-1920x1080x24}
  [[ $size =~ ^[0-9]+x[0-9]+$ ]] && size=${size}x24
  [[ $size =~ ^[0-9]+x[0-9]+x[0-9]+$ ]] || fail "start_xvfb: bad size '$size'"
  [[ -z $XVFB_PID ]] || fail "start_xvfb: an X server is already running for this test"
  local candidates n
  if [[ -n "${E2E_DISPLAY:-}" ]]; then
    candidates=("${E2E_DISPLAY#:}")
  else
    candidates=($(seq 90 199))
  fi
  for n in "${candidates[@]}"; do
    if [[ -n "${E2E_DISPLAY:-}" ]]; then
      # A pinned display may still be shutting down from the previous test.
      local waited=0
      while ! e2e_display_free "$n" && ((waited < 50)); do
        sleep 0.1
        waited=$((waited + 1))
      done
    fi
    e2e_display_free "$n" || continue
    # In its own session, so that a time limit's signal to the test's
    # process group leaves the screen for the failure screenshot.
    setsid Xvfb ":$n" -screen 0 "$size" -nolisten tcp -noreset >"$E2E_TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    [[ -n "${E2E_PIDFILE:-}" ]] && echo "$XVFB_PID" >>"$E2E_PIDFILE"
    local i
    for ((i = 0; i < 100; i++)); do
      kill -0 "$XVFB_PID" 2>/dev/null || break
      if DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1; then
        export DISPLAY=":$n"
        E2E_SCREEN_SIZE=$size
        return 0
      fi
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=
  done
  cat "$E2E_TMP/xvfb.log" >&2 2>/dev/null
  fail "start_xvfb: could not start an X server (tried ${candidates[*]:0:3}...)"
}

start_window_manager() {
  local name=$1 pid i
  local -a command
  [[ -n "${DISPLAY:-}" ]] || fail "start_window_manager: no X server"
  case $name in
    openbox) command=(openbox --sm-disable) ;;
    # Without a bar: the screen is the program's.
    i3)
      printf '# i3 config file (v4)\nfont pango:monospace 8\n' >"$E2E_TMP/i3.conf"
      command=(i3 -c "$E2E_TMP/i3.conf")
      ;;
    # xfwm4 reads its settings through xfconf, on a session bus of its own.
    xfwm4) command=(dbus-run-session -- xfwm4 --compositor=off) ;;
    *) fail "start_window_manager: no window manager '$name' here" ;;
  esac
  command -v "$name" >/dev/null || fail "start_window_manager: $name is not installed"
  [[ -z $WM_PID ]] || fail "start_window_manager: a window manager is already running"
  setsid "${command[@]}" >"$E2E_TMP/$name.log" 2>&1 &
  pid=$!
  WM_PID=$pid
  [[ -n "${E2E_PIDFILE:-}" ]] && echo "$pid" >>"$E2E_PIDFILE"
  # Running once it has taken the root window's _NET_SUPPORTING_WM_CHECK.
  for ((i = 0; i < 100; i++)); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$E2E_TMP/$name.log" >&2
  fail "start_window_manager: $name did not start"
}

start_openbox() { start_window_manager openbox; }

# Ends the window manager's session while it still runs, so that no other
# process that has since taken its number is hit.
stop_window_manager() {
  if [[ -n $WM_PID ]]; then
    kill -- "-$WM_PID" 2>/dev/null
    wait "$WM_PID" 2>/dev/null
    WM_PID=
  fi
}

stop_xvfb() {
  stop_window_manager
  if [[ -n $XVFB_PID ]]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=
  fi
  unset DISPLAY
}

# --- Wayland sessions ---------------------------------------------------------------
# The compositor runs headless with software rendering and no input devices;
# the program's windows go through XWayland, as on a GNOME, KDE or sway
# desktop. Its process group is ended with the test.

: "${E2E_WAYLAND_USER:=t462-wayland}"

# The user the session and the program run as: ourselves, or when we are
# root (as in CI) an unprivileged user made on first use.
e2e_session_user() {
  if (($(id -u) != 0)); then
    id -un
    return 0
  fi
  id "$E2E_WAYLAND_USER" >/dev/null 2>&1 ||
    useradd --create-home --shell /bin/bash "$E2E_WAYLAND_USER" >/dev/null 2>&1 ||
    id "$E2E_WAYLAND_USER" >/dev/null 2>&1 || return 1
  echo "$E2E_WAYLAND_USER"
}

# e2e_user_command USER: sets E2E_USER_COMMAND to the words that run a
# command as USER with that user's home, in the same process (setpriv and
# env exec), so that a program started so is still our child. Empty for
# ourselves.
e2e_user_command() {
  local user=$1 home
  E2E_USER_COMMAND=()
  [[ $user == "$(id -un)" ]] && return 0
  home=$(getent passwd "$user" | cut -d: -f6)
  E2E_USER_COMMAND=(setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups
    env HOME="$home" USER="$user" LOGNAME="$user")
}

# e2e_as_user USER CMD...: runs CMD as USER.
e2e_as_user() {
  e2e_user_command "$1"
  shift
  "${E2E_USER_COMMAND[@]}" "$@"
}

# e2e_start_compositor NAME CMD...: starts the compositor in a session of
# its own as the session user, with a private runtime folder; waits for its
# Wayland socket $XDG_RUNTIME_DIR/wayland-1 (the name both compositors are
# told to use or use first).
e2e_start_compositor() {
  local name=$1 user runtime i
  shift
  [[ -z $XVFB_PID && -z $WAYLAND_PID ]] || fail "start_$name: a display is already running"
  command -v "$1" >/dev/null || fail "start_$name: $1 is not installed"
  user=$(e2e_session_user) || fail "start_$name: cannot make the user $E2E_WAYLAND_USER"
  # The socket folder as the system makes it, sticky and open to all; an
  # XWayland started first by a user would make it that user's.
  if (($(id -u) == 0)); then
    mkdir -p /tmp/.X11-unix && chown root:root /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
  fi
  chmod 711 "$E2E_TMP"
  # tools/test.sh puts it in a private folder of its own run: let the session
  # user through that one too.
  [[ -O $(dirname "$E2E_TMP") ]] && chmod go+x "$(dirname "$E2E_TMP")"
  runtime=$E2E_TMP/wayland-runtime
  mkdir -m 700 "$runtime" && chown "$user" "$runtime" || fail "start_$name: no runtime folder"
  e2e_user_command "$user"
  setsid "${E2E_USER_COMMAND[@]}" env XDG_RUNTIME_DIR="$runtime" "$@" >"$E2E_TMP/$name.log" 2>&1 &
  WAYLAND_PID=$!
  [[ -n "${E2E_PIDFILE:-}" ]] && echo "$WAYLAND_PID" >>"$E2E_PIDFILE"
  for ((i = 0; i < 100; i++)); do
    [[ -S $runtime/wayland-1 ]] && break
    kill -0 "$WAYLAND_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [[ ! -S $runtime/wayland-1 ]]; then
    cat "$E2E_TMP/$name.log" >&2
    fail "start_$name: $name did not start"
  fi
  export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$runtime/wayland-1
  E2E_RUN_AS=$user
}

# e2e_use_xwayland N: takes XWayland's display :N and lets our own tools
# (xdotool, xprop) in: XWayland admits only its own user.
e2e_use_xwayland() {
  local i
  export DISPLAY=":$1"
  for ((i = 0; i < 100; i++)); do
    if e2e_as_user "$E2E_RUN_AS" xhost "+si:localuser:$(id -un)" >/dev/null 2>&1 &&
      xdotool getdisplaygeometry >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  fail "XWayland on :$1 did not answer"
}

start_sway() {
  local size=${1:-1280x1024} conf=$E2E_TMP/sway.conf i
  local -a session=()
  command -v Xwayland >/dev/null || fail "start_sway: Xwayland is not installed"
  cat >"$conf" <<CONF
output HEADLESS-1 resolution $size position 0 0 scale 1
output HEADLESS-1 bg #c040a0 solid_color
xwayland enable
CONF
  chmod 644 "$conf"
  [[ ${2:-} == portal ]] && e2e_portal_session_command session
  e2e_start_compositor sway "${session[@]}" env WLR_BACKENDS=headless WLR_RENDERER=pixman \
    WLR_LIBINPUT_NO_DEVICES=1 sway -c "$conf"
  [[ ${2:-} == portal ]] && e2e_wait_portal
  # sway tells its own clients which display XWayland has.
  local sock
  sock=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n1)
  for ((i = 0; i < 50; i++)); do
    [[ -n $sock ]] && break
    sleep 0.1
    sock=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n1)
  done
  [[ -n $sock ]] || fail "start_sway: no IPC socket"
  export SWAYSOCK=$sock
  local found=$XDG_RUNTIME_DIR/xwayland-display
  e2e_as_user "$E2E_RUN_AS" swaymsg exec "printenv DISPLAY >$found.new && mv $found.new $found" \
    >/dev/null || fail "start_sway: swaymsg failed"
  for ((i = 0; i < 100; i++)); do
    [[ -s $found ]] && break
    sleep 0.1
  done
  [[ -s $found ]] || fail "start_sway: XWayland's display was not told"
  e2e_use_xwayland "$(tr -d ': \n' <"$found")"
  E2E_SCREEN_SIZE=${size}x24
}

# --- the ScreenCast portal (GNOME's and KDE's way of sharing the screen) ---------
# Under sway, with xdg-desktop-portal-wlr as the back end. Everything runs in
# one dbus-run-session in the compositor's process group, so it ends with
# it; the session's state and data folders are the test's own, so no share
# is remembered from an earlier run.

E2E_PORTAL_DIR=$E2E_TMP/portal

# The session: the compositor in the background, then the portal's services
# once its socket is there. Runs as the session user inside dbus-run-session.
e2e_portal_session() {
  local dir=$1 i
  shift
  "$@" &
  local compositor=$!
  for ((i = 0; i < 100; i++)); do
    [[ -S $XDG_RUNTIME_DIR/wayland-1 ]] && break
    sleep 0.1
  done
  export WAYLAND_DISPLAY=wayland-1 XDG_CURRENT_DESKTOP=sway
  dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_RUNTIME_DIR
  pipewire &
  for ((i = 0; i < 100; i++)); do
    [[ -S $XDG_RUNTIME_DIR/pipewire-0 ]] && break
    sleep 0.1
  done
  LD_PRELOAD=$dir/shim.so /usr/libexec/xdg-desktop-portal-wlr -c "$dir/wlr.conf" &
  # The portal (started by the bus on its first use) looks for its back end
  # once, when it starts: the back end is there first.
  for ((i = 0; i < 100; i++)); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.freedesktop.impl.portal.desktop.wlr |
      grep -q 'boolean true' && break
    sleep 0.1
  done
  wireplumber &
  # Told only now: the first use of the portal starts it.
  echo "$DBUS_SESSION_BUS_ADDRESS" >"$dir/bus.new" && mv "$dir/bus.new" "$dir/bus"
  wait "$compositor"
}

# e2e_portal_session_command ARRAY: the words that run a compositor in such
# a session, into ARRAY; prepares the portal's folder.
e2e_portal_session_command() {
  local -n words=$1
  local shim tool
  for tool in dbus-run-session pipewire wireplumber /usr/libexec/xdg-desktop-portal \
    /usr/libexec/xdg-desktop-portal-wlr; do
    command -v "$tool" >/dev/null || fail "start_sway portal: $tool is not installed"
  done
  shim=$(e2e_build_tool portal_shm_shim.so "$E2E_LIB_DIR/portal_shm_shim.c" e2e_cc_shim) ||
    fail "cannot build tests/e2e/portal_shm_shim.c (needs libwayland-dev)"
  mkdir -p "$E2E_PORTAL_DIR"/{state,data,config} && cp "$shim" "$E2E_PORTAL_DIR/shim.so" ||
    fail "start_sway portal: no folder for the portal"
  cat >"$E2E_PORTAL_DIR/chooser" <<CHOOSER
#!/bin/sh
[ -e "$E2E_PORTAL_DIR/decline" ] && exit 0
echo asked >>"$E2E_PORTAL_DIR/questions"
echo HEADLESS-1
CHOOSER
  chmod 755 "$E2E_PORTAL_DIR/chooser"
  printf '[screencast]\nchooser_type=simple\nchooser_cmd=%s\nmax_fps=30\n' \
    "$E2E_PORTAL_DIR/chooser" >"$E2E_PORTAL_DIR/wlr.conf"
  [[ -n $(e2e_session_user) ]] && chown -R "$(e2e_session_user)" "$E2E_PORTAL_DIR"
  words=(env XDG_STATE_HOME="$E2E_PORTAL_DIR/state" XDG_DATA_HOME="$E2E_PORTAL_DIR/data"
    XDG_CONFIG_HOME="$E2E_PORTAL_DIR/config" dbus-run-session --
    bash -c "$(declare -f e2e_portal_session)"'; e2e_portal_session "$@"' portal-session
    "$E2E_PORTAL_DIR")
}

# Until the portal answers on the session's bus; the program then finds it
# there, and keeps its state in the session's state folder.
e2e_wait_portal() {
  local i
  for ((i = 0; i < 100; i++)); do
    [[ -s $E2E_PORTAL_DIR/bus ]] && break
    sleep 0.1
  done
  [[ -s $E2E_PORTAL_DIR/bus ]] || fail "start_sway portal: no D-Bus session"
  export DBUS_SESSION_BUS_ADDRESS XDG_STATE_HOME=$E2E_PORTAL_DIR/state
  DBUS_SESSION_BUS_ADDRESS=$(<"$E2E_PORTAL_DIR/bus")
  for ((i = 0; i < 150; i++)); do
    e2e_as_user "$E2E_RUN_AS" dbus-send --session --print-reply \
      --dest=org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop \
      org.freedesktop.DBus.Properties.Get string:org.freedesktop.portal.ScreenCast \
      string:version >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  fail "start_sway portal: the ScreenCast portal did not answer"
}

portal_questions() {
  local count=0
  [[ -f $E2E_PORTAL_DIR/questions ]] && count=$(wc -l <"$E2E_PORTAL_DIR/questions")
  echo "$count"
}

start_weston() {
  local size=${1:-1280x1024} i n=
  e2e_start_compositor weston weston --backend=headless-backend.so --xwayland --idle-time=0 \
    --socket=wayland-1 --width="${size%x*}" --height="${size#*x}"
  for ((i = 0; i < 100; i++)); do
    n=$(sed -n 's/.*xserver listening on display :\([0-9]*\).*/\1/p' "$E2E_TMP/weston.log" | head -n1)
    [[ -n $n ]] && break
    sleep 0.1
  done
  [[ -n $n ]] || fail "start_weston: XWayland did not start"
  e2e_use_xwayland "$n"
  E2E_SCREEN_SIZE=${size}x24
}

wayland_shot() {
  local file=$1 area=${2:-}
  command -v grim >/dev/null || fail "wayland_shot: grim is not installed"
  if [[ -n $area ]]; then
    grim -g "$area" "$file"
  else
    grim "$file"
  fi
}

stop_wayland() {
  if [[ -n $WAYLAND_PID ]]; then
    kill -TERM -- "-$WAYLAND_PID" 2>/dev/null
    local i
    for ((i = 0; i < 50; i++)); do
      kill -0 "$WAYLAND_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL -- "-$WAYLAND_PID" 2>/dev/null
    wait "$WAYLAND_PID" 2>/dev/null
    WAYLAND_PID=
  fi
  unset WAYLAND_DISPLAY SWAYSOCK DBUS_SESSION_BUS_ADDRESS
}

# --- the program ----------------------------------------------------------------

start_program_in() {
  local dir=$1
  shift
  [[ -f "$dir/$E2E_PROGRAM" ]] ||
    fail "no $E2E_PROGRAM in $dir (build the $E2E_TARGET preset first)"
  [[ -n "${DISPLAY:-}" ]] || start_xvfb
  RUN_DIR=$dir
  rm -f "$E2E_TMP/exit_code"
  # In a Wayland session the program is the session user's, and so is its
  # folder.
  if [[ -n $E2E_RUN_AS ]]; then
    chown -R "$E2E_RUN_AS" "$dir" || fail "cannot give $dir to $E2E_RUN_AS"
  fi
  # In its own session like the X server; the exit code (of wine, which is
  # the program's) is kept in a file so that any shell can read it.
  setsid bash -c "$(declare -f e2e_user_command)"'
    dir=$1 tmp=$2 log=$3 target=$4 user=$5
    shift 5
    cd "$dir" || exit 127
    if [[ $target == windows ]]; then
      wine t462.exe "$@" </dev/null >>"$log" 2>&1
    else
      e2e_user_command "${user:-$(id -un)}"
      "${E2E_USER_COMMAND[@]}" ./t462 "$@" </dev/null >>"$log" 2>&1
    fi
    echo $? >"$tmp/exit_code.new"
    mv "$tmp/exit_code.new" "$tmp/exit_code"
  ' t462-run "$RUN_DIR" "$E2E_TMP" "$PROGRAM_LOG" "$E2E_TARGET" "$E2E_RUN_AS" "$@" \
    2>>"$PROGRAM_LOG" &
  PROGRAM_PID=$!
  [[ -n "${E2E_PIDFILE:-}" ]] && echo "$PROGRAM_PID" >>"$E2E_PIDFILE"
}

start_program() {
  [[ -d "$T462_STAGED_DIR" ]] || fail "no staged run folder $T462_STAGED_DIR (build the $E2E_TARGET preset first)"
  local copy=$E2E_TMP/run
  rm -rf "$copy"
  cp -a "$T462_STAGED_DIR" "$copy" || fail "cannot copy $T462_STAGED_DIR"
  start_program_in "$copy" "$@"
  cd "$copy" || fail "cannot enter $copy"
}

start_windows() {
  local dir='' size=''
  local -a waiting=()
  while (($#)); do
    case $1 in
      --in)
        dir=$2
        shift
        ;;
      --wait | --what)
        waiting+=("$1" "$2")
        shift
        ;;
      *) size=$1 ;;
    esac
    shift
  done
  if [[ -n $size || -z "${DISPLAY:-}" ]]; then
    start_xvfb "$size"
  fi
  if [[ -n $dir ]]; then
    start_program_in "$dir"
    cd "$dir" || fail "cannot enter $dir"
  else
    start_program
  fi
  wait_windows "${waiting[@]}"
}

# shellcheck disable=SC2034 # DISPLAY_WINDOW and PANEL_WINDOW are the tests'
wait_windows() {
  local timeout=$E2E_START_TIMEOUT what=''
  while (($#)); do
    case $1 in
      --wait) timeout=$2 ;;
      --what) what="$2: " ;;
      *) fail "wait_windows: unknown argument '$1'" ;;
    esac
    shift 2
  done
  DISPLAY_WINDOW=$(wait_window t462 "$timeout") || fail "${what}the display window did not appear"
  PANEL_WINDOW=$(wait_window com "$timeout") || fail "${what}the control panel did not appear"
}

stop_program() {
  # Ends the program the hard way and waits for it; for a test that needs a
  # second start.
  [[ -n $PROGRAM_PID ]] || return 0
  program_running && e2e_kill_program
  wait_exit 10 >/dev/null
  wait "$PROGRAM_PID" 2>/dev/null
  PROGRAM_PID=
  return 0
}

program_running() {
  [[ -n $PROGRAM_PID && ! -e "$E2E_TMP/exit_code" ]] && kill -0 "$PROGRAM_PID" 2>/dev/null
}

wait_exit() {
  local timeout=${1:-10} deadline
  [[ -n $PROGRAM_PID ]] || fail "wait_exit: no program was started"
  deadline=$(($(date +%s%N) + ${timeout%.*} * 1000000000))
  while [[ ! -e "$E2E_TMP/exit_code" ]]; do
    if (($(date +%s%N) >= deadline)); then
      echo timeout
      return 124
    fi
    if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
      sleep 0.2
      [[ -e "$E2E_TMP/exit_code" ]] && break
      echo vanished
      return 125
    fi
    sleep 0.05
  done
  local code
  code=$(<"$E2E_TMP/exit_code")
  echo "$code"
  return "$code"
}

program_unix_pids() {
  # The program (under Wine: the wine loader, which becomes the Windows
  # process) is the child of the shell that started it. Found through /proc,
  # so that no extra package is needed.
  local stat rest
  local -a fields
  for stat in /proc/[0-9]*/stat; do
    # A process may end between the listing and the read.
    { rest=$(<"$stat"); } 2>/dev/null || continue
    rest=${rest##*) }
    # Fields after "(comm)": state is field 3, ppid 4.
    read -r -a fields <<<"$rest"
    ((fields[1] == PROGRAM_PID)) && echo "${stat//[!0-9]/}"
  done
  return 0
}

process_cpu_ticks() {
  local pid rest total=0
  local -a fields
  for pid in $(program_unix_pids); do
    { rest=$(</proc/"$pid"/stat); } 2>/dev/null || continue
    rest=${rest##*) }
    # utime and stime are fields 14 and 15.
    read -r -a fields <<<"$rest"
    total=$((total + fields[11] + fields[12]))
  done
  echo "$total"
}

# --- windows ----------------------------------------------------------------------

e2e_name_pattern() {
  # xdotool matches a regular expression; titles here are plain words.
  printf '^%s$' "$1"
}

window_id() {
  local ids
  ids=$(xdotool search --onlyvisible --name "$(e2e_name_pattern "$1")" 2>/dev/null) || return 1
  [[ -n $ids ]] || return 1
  head -n1 <<<"$ids"
}

wait_window() {
  local title=$1 timeout=${2:-$E2E_START_TIMEOUT} start id
  start=$SECONDS
  while ((SECONDS - start < timeout)); do
    if id=$(window_id "$title"); then
      echo "$id"
      return 0
    fi
    if [[ -n $PROGRAM_PID ]] && ! program_running; then
      echo "wait_window: the program ended (exit code $(cat "$E2E_TMP/exit_code" 2>/dev/null)) before window '$title' appeared" >&2
      return 1
    fi
    sleep 0.2
  done
  echo "wait_window: no window '$title' after ${timeout}s" >&2
  return 1
}

window_gone() {
  local title=$1 timeout=${2:-10} start
  start=$SECONDS
  while ((SECONDS - start < timeout)); do
    window_id "$title" >/dev/null || return 0
    sleep 0.1
  done
  return 1
}

win_geometry() {
  local id
  id=$(window_id "$1") || return 1
  e2e_geometry_of "$id"
}

e2e_geometry_of() {
  # xwininfo's absolute place: xdotool's counts a window manager's frame
  # offset twice.
  xwininfo -id "$1" 2>/dev/null | awk '
    /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
    /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF }
    END { if (w == "") exit 1; print x, y, w, h }'
}

e2e_build_tool() {
  # e2e_build_tool NAME SOURCE COMPILE: builds $E2E_TOOLS/NAME with
  # "COMPILE OUT SOURCE" once, and again when the source is newer; prints
  # the path of the tool.
  local name=$1 source=$2 compile=$3
  local out=$E2E_TOOLS/$name
  if [[ ! -x $out || $source -nt $out ]]; then
    mkdir -p "$E2E_TOOLS" || return 1
    local tmp
    tmp=$(mktemp "$E2E_TOOLS/.$name.XXXXXX") || return 1
    "$compile" "$tmp" "$source" >&2 || {
      rm -f "$tmp"
      return 1
    }
    chmod +x "$tmp"
    mv -f "$tmp" "$out"
  fi
  echo "$out"
}

e2e_close_tool() {
  e2e_build_tool x11-close-window "$E2E_REPO/tools/x11-close-window.c" e2e_cc_x11
}

close_window() {
  local id tool
  id=$(window_id "$1") || {
    echo "close_window: no window '$1'" >&2
    return 1
  }
  tool=$(e2e_close_tool) || fail "cannot build tools/x11-close-window.c (needs libx11-dev)"
  "$tool" "$id"
}

# --- input ------------------------------------------------------------------------

hold_key() {
  local key=$1 title=${2:-t462} id
  id=$(window_id "$title") || fail "hold_key: no window '$title'"
  xdotool windowfocus "$id" && sleep 0.05 &&
    xdotool keydown "$key" && sleep 0.05 && xdotool keyup "$key"
}

click() {
  xdotool mousemove "$1" "$2" click 1
}

# --- pictures and files -----------------------------------------------------------

screenshot() {
  # XWayland's root window holds no picture: the compositor's does.
  if [[ -n $WAYLAND_PID ]]; then
    wayland_shot "$1"
  else
    import -window root "$1"
  fi
}

pixel_at() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 \
    -format '%[fx:int(255*r+0.5)] %[fx:int(255*g+0.5)] %[fx:int(255*b+0.5)]' info:
}

count_rewrites() {
  # Watches the folder rather than the file, so a file that is replaced
  # rather than rewritten in place is still counted.
  local file=$1 seconds=$2 dir base
  dir=$(dirname "$file")
  base=$(basename "$file")
  timeout "$seconds" inotifywait -m -q -e close_write --format '%f' "$dir" 2>/dev/null |
    grep -cxF -- "$base" || true
}

files_written() {
  local dir=$1 seconds=$2
  timeout "$seconds" inotifywait -m -r -q -e close_write --format '%w%f' "$dir" 2>/dev/null |
    sed "s|^${dir%/}/||" | sort -u
}

# --- assertions -------------------------------------------------------------------

assert_eq() { [[ "$1" == "$2" ]] || fail "${3:-value}: expected '$1', got '$2'"; }
assert_ne() { [[ "$1" != "$2" ]] || fail "${3:-value}: expected anything but '$1'"; }
assert_ge() { (($1 >= $2)) || fail "${3:-value}: expected at least $2, got $1"; }
assert_le() { (($1 <= $2)) || fail "${3:-value}: expected at most $2, got $1"; }
assert_between() {
  (($1 >= $2 && $1 <= $3)) || fail "${4:-value}: expected $2..$3, got $1"
}
assert_file() { [[ -f "$1" ]] || fail "expected file '$1' to exist"; }
assert_running() { program_running || fail "${1:-the program} is not running (exit code $(cat "$E2E_TMP/exit_code" 2>/dev/null))"; }
assert_no_window() { window_gone "$1" "${2:-5}" || fail "window '$1' is still there"; }

# --- The two targets ---------------------------------------------------------------
# Everything a test needs that differs between t462.exe under Wine and the
# Linux program. What Windows itself is asked about the windows has Linux
# stand-ins built from the X windows and the frame the Linux program draws.

target_has() {
  case $E2E_TARGET:$1 in
    windows:wine | windows:sharing_locks) return 0 ;;
    # Wine opens files as the Unix user: root writes a read-only one. The
    # Linux program refuses it, as Windows itself does.
    windows:root_writes_read_only) [[ $(id -u) == 0 ]] ;;
    linux:monitors) command -v xrandr >/dev/null ;;
    *) return 1 ;;
  esac
}

system_code_page() {
  if [[ $E2E_TARGET == linux ]]; then
    echo utf-8
  elif [[ $LC_ALL == ja_JP* ]]; then
    echo 932
  else
    echo 1252
  fi
}

window_frame() {
  # Both systems frame a window as Windows does by default: the panel 4
  # pixels wide (a pixel of border, 3 of sizing frame); the display window a
  # 4-pixel sizing frame and a 19-pixel caption. With no window manager, the
  # X window of the display window holds its client area only.
  case $1 in
    com) echo 4 4 4 4 ;;
    t462) echo 4 23 4 4 ;;
    *) return 1 ;;
  esac
}

# The X window of the display window is its client area; the panel's, which
# carries a window region, is its whole window rectangle.
e2e_x_window_is_client() { [[ $1 == t462 ]]; }

e2e_cc_x11() { cc -O2 -o "$1" "$2" -lX11; }
e2e_cc_shim() { cc -O2 -shared -fPIC -o "$1" "$2" -ldl -lwayland-client; }
e2e_cc_mingw() { x86_64-w64-mingw32-gcc -O2 -static -o "$1" "$2"; }

# e2e_wine_tool NAME ARGS: runs tests/e2e/NAME.c, built for Windows, inside
# the program's Wine prefix; prints its output.
e2e_wine_tool() {
  local name=$1 tool
  shift
  tool=$(e2e_build_tool "$name.exe" "$E2E_LIB_DIR/$name.c" e2e_cc_mingw) ||
    fail "cannot build $name.exe"
  (cd "$E2E_TMP" && wine "$tool" "$@" </dev/null 2>>"$PROGRAM_LOG" | tr -d '\r')
}

# "outer L T R B client L T R B visible V", as win_query.c prints it.
e2e_window_line() {
  local class=$1 title=$2 line
  if [[ $E2E_TARGET == windows ]]; then
    line=$(e2e_wine_tool win_query "$class" "$title") || return 1
    [[ $line == outer* ]] || return 1
    echo "$line"
    return 0
  fi
  local id x y w h l t r b visible=1
  id=$(xdotool search --name "$(e2e_name_pattern "$title")" 2>/dev/null | head -n1)
  [[ -n $id ]] || return 1
  read -r x y w h < <(e2e_geometry_of "$id") || return 1
  read -r l t r b < <(window_frame "$title") || return 1
  xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || visible=0
  if e2e_x_window_is_client "$title"; then
    echo "outer $((x - l)) $((y - t)) $((x + w + r)) $((y + h + b))" \
      "client $x $y $((x + w)) $((y + h)) visible $visible"
  else
    echo "outer $x $y $((x + w)) $((y + h))" \
      "client $((x + l)) $((y + t)) $((x + w - r)) $((y + h - b)) visible $visible"
  fi
}

windows_rect() {
  local line
  line=$(e2e_window_line "$1" "$2") || return 1
  awk '{print $2, $3, $4, $5}' <<<"$line"
}

windows_client() {
  local line
  line=$(e2e_window_line "$1" "$2") || return 1
  awk '{print $7, $8, $9, $10}' <<<"$line"
}

window_known() {
  local line
  line=$(e2e_window_line "$1" "$2") || return 1
  awk '{print $11, $12}' <<<"$line"
}

win_move() {
  if [[ $E2E_TARGET == windows ]]; then
    e2e_wine_tool win_move NORMAL1 com "$@"
    return
  fi
  # The panel's X window is its window rectangle.
  local id
  id=$(window_id com) || return 1
  if (($# == 4)); then
    xdotool windowsize "$id" "$3" "$4" || return 1
  fi
  xdotool windowmove "$id" "$1" "$2" || return 1
  sleep 0.2
  windows_rect NORMAL1 com
}

raise_display() {
  if [[ $E2E_TARGET == windows ]]; then
    e2e_wine_tool win_raise NORMAL0 t462 NORMAL1 com
    return
  fi
  local display panel first
  display=$(window_id t462) || return 1
  panel=$(window_id com) || return 1
  xdotool windowraise "$display" || return 1
  sleep 0.5
  # xwininfo lists the root's children from the top down.
  first=$(xwininfo -root -children 2>/dev/null |
    awk -v d="$(printf '0x%x' "$display")" -v p="$(printf '0x%x' "$panel")" '
      $1 == d { print "below"; exit }
      $1 == p { print "above"; exit }')
  echo "${first:-none}"
}

program_handles() {
  if [[ $E2E_TARGET == windows ]]; then
    e2e_cc_mingw_ntdll() { x86_64-w64-mingw32-gcc -O2 -static -o "$1" "$2" -lntdll; }
    local tool
    tool=$(e2e_build_tool win_handles.exe "$E2E_LIB_DIR/win_handles.c" e2e_cc_mingw_ntdll) ||
      return 1
    (cd "$E2E_TMP" && wine "$tool" t462.exe </dev/null 2>/dev/null | tr -d '\r')
    return
  fi
  local pid
  pid=$(program_unix_pids | head -n1)
  [[ -n $pid ]] || return 1
  ls /proc/"$pid"/fd 2>/dev/null | wc -l
}

e2e_kill_program() {
  # Ends every process of the program the hard way and waits until they
  # have gone: under Wine, every process of the prefix.
  if [[ $E2E_TARGET == windows ]]; then
    wineserver -k 2>/dev/null
    timeout 30 wineserver -w 2>/dev/null
    return 0
  fi
  local pids i
  pids=$(program_unix_pids)
  [[ -n $pids ]] && kill -KILL $pids 2>/dev/null
  for ((i = 0; i < 100; i++)); do
    [[ -z $(program_unix_pids) ]] && break
    sleep 0.1
  done
  return 0
}

wait_program_gone() {
  if [[ $E2E_TARGET == windows ]]; then
    timeout 30 wineserver -w 2>/dev/null
  fi
  return 0
}

# Skips a test about the other program only ("# Targets: ..." in the test).
e2e_check_target() {
  local targets
  targets=$(sed -n 's/^# Targets: *//p' "$0" 2>/dev/null | head -n1)
  [[ -z $targets || $targets == any || " $targets " == *" $E2E_TARGET "* ]] ||
    skip "a test of the $targets program only"
}

# --- clean-up ---------------------------------------------------------------------

e2e_save_artifacts() {
  mkdir -p "$E2E_ARTIFACTS" || return
  if [[ -n "${DISPLAY:-}" && -n $XVFB_PID$WAYLAND_PID ]]; then
    screenshot "$E2E_ARTIFACTS/screen.png" 2>/dev/null
    local id
    for id in $(xdotool search --name '.' 2>/dev/null); do
      printf '%s %s %s\n' "$id" "$(xdotool getwindowname "$id" 2>/dev/null)" \
        "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null | tr '\n' ' ')"
    done >"$E2E_ARTIFACTS/windows.txt" 2>/dev/null
  fi
  [[ -f $PROGRAM_LOG ]] && cp "$PROGRAM_LOG" "$E2E_ARTIFACTS/program.log"
  [[ -n $WM_PID ]] && cp "$E2E_TMP"/{openbox,xfwm4,i3}.log "$E2E_ARTIFACTS/" 2>/dev/null
  [[ -f "$E2E_TMP/exit_code" ]] && cp "$E2E_TMP/exit_code" "$E2E_ARTIFACTS/exit_code"
  [[ -n $RUN_DIR && -d $RUN_DIR ]] && ls -la "$RUN_DIR" >"$E2E_ARTIFACTS/run-folder.txt" 2>&1
  local log
  for log in xvfb sway weston; do
    [[ -f "$E2E_TMP/$log.log" ]] && cp "$E2E_TMP/$log.log" "$E2E_ARTIFACTS/$log.log"
  done
  note "artifacts saved in $E2E_ARTIFACTS"
}

e2e_cleanup() {
  local status=$?
  trap - EXIT INT TERM
  local hook
  for hook in "${E2E_EXIT_HOOKS[@]}"; do
    eval "$hook" || true
  done
  if ((status != 0 && status != 77)) && [[ "${E2E_SAVE_ARTIFACTS:-1}" == 1 ]]; then
    e2e_save_artifacts
  fi
  cd / || true
  if [[ -n $PROGRAM_PID ]] && program_running; then
    e2e_kill_program
  fi
  if [[ -n $PROGRAM_PID ]]; then
    # Give wine a moment to write the exit code, then reap the subshell.
    local i
    for ((i = 0; i < 50; i++)); do
      kill -0 "$PROGRAM_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$PROGRAM_PID" 2>/dev/null
    wait "$PROGRAM_PID" 2>/dev/null
  fi
  if ((E2E_OWN_PREFIX)); then
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
  fi
  stop_xvfb
  stop_wayland
  rm -rf "$E2E_TMP"
  exit "$status"
}

trap e2e_cleanup EXIT
# A time limit (timeout) sends TERM: still clean up.
trap 'exit 143' TERM
trap 'exit 130' INT
e2e_check_target
