#!/usr/bin/env bash
# Checks the program as an installed copy meets the machine:
#   - a program folder that cannot be written (as under /usr): Set Folder's Ok
#     stores the folder in $XDG_CONFIG_HOME/grelm-converter without a message,
#     and the next start finds it there;
#   - a writable program folder keeps the file beside the program;
#   - both also where the program folder's or the home's name is not UTF-8;
#   - with no display the program says so in one line and exits non-zero.
# The read-only folder is real: for root, which ignores permission bits, a
# read-only bind mount in a private mount namespace, else an immutable folder
# (chattr +i); a run that can make neither fails.
# Usage: tests/install/installed_program.sh [build folder (default build)]
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/support/outside_checks.sh
build="${1:-build}"
built_programs "$build" check=grelm-setting-places-check program_bin=grelm-converter
enter_private_mount_namespace GRELM_INSTALL_NAMESPACE "$0" "$@"

scratch_root /tmp/grelm-install
immutable=""
at_exit() { [ -n "$immutable" ] && chattr -i "$immutable"; }
export QT_QPA_PLATFORM=offscreen HOME="$root/home" XDG_CONFIG_HOME="$root/config"
mkdir -p "$HOME" && own_runtime_folder

# A program folder holding a copy of the checker, as an install puts it.
program_folder() { mkdir -p "$1" && cp "$check" "$1/"; }

# Makes a folder unwritable for real, even for root; fails the run when it cannot.
make_read_only() {
  local folder="$1"
  if [ "$(id -u)" -ne 0 ]; then
    chmod a-w "$folder"
  elif [ -n "${GRELM_INSTALL_NAMESPACE:-}" ] && mount --bind "$folder" "$folder" \
       && mount -o remount,ro,bind "$folder"; then
    :
  elif chattr +i "$folder" 2>/dev/null; then
    immutable="$folder"
  else
    echo "FAIL  cannot make a folder read-only for root: no private mount namespace and no chattr +i"
    exit 1
  fi
  if touch "$folder/.probe" 2>/dev/null; then
    echo "FAIL  $folder is still writable after making it read-only"; exit 1
  fi
}

expect_quoted() { [ -f "$1" ] && [ "$(cat "$1")" = "$(printf '"%s"\r' "$2")" ]; }

# read_only_program_folder <folder below $root> <home below $root> <what>
read_only_program_folder() {
  local folder="$root/$1" game="/games/Half-Life" out what="read-only program folder$3"
  local HOME="$root/$2" config_file="$root/$2/.config/grelm-converter/SLoadPath.txt"
  local XDG_CONFIG_HOME=""
  export HOME XDG_CONFIG_HOME
  mkdir -p "$HOME"
  program_folder "$folder"
  make_read_only "$folder"
  out=$("$folder/grelm-setting-places-check" "$game")
  if grep -q 'Folder Not Saved!' <<<"$out"; then fail "$what" "the store failed: $out"; return; fi
  if ! expect_quoted "$config_file" "$game"; then fail "$what" "no setting file in the home's config folder"; return; fi
  out=$("$folder/grelm-setting-places-check")
  if [ "$(head -n 1 <<<"$out")" != "read: $game" ] || grep -q '^message:' <<<"$out"; then
    fail "$what" "the next start did not find the folder: $out"; return
  fi
  pass "$what: stored in the config folder and found at the next start"
}

# A user with no setting file yet, so the first place tried is beside the program.
# writable_program_folder <folder below $root> <what>
writable_program_folder() {
  local folder="$root/$1" game="/games/cstrike" out what="writable program folder$2"
  program_folder "$folder"
  XDG_CONFIG_HOME="$root/fresh-config" "$folder/grelm-setting-places-check" "$game" >/dev/null
  if ! expect_quoted "$folder/SLoadPath.txt" "$game"; then fail "$what" "no file beside the program"; return; fi
  if [ -e "$root/fresh-config" ]; then fail "$what" "the config folder was made"; return; fi
  out=$(XDG_CONFIG_HOME="$root/fresh-config" "$folder/grelm-setting-places-check")
  if [ "$(head -n 1 <<<"$out")" != "read: $game" ] || grep -q '^message:' <<<"$out"; then
    fail "$what" "the next start did not find the folder: $out"; return
  fi
  pass "$what: the file stays beside the program and is found at the next start"
}

no_display() {
  local err rc=0
  err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program_bin" 2>&1 >/dev/null) || rc=$?
  if [ "$rc" -eq 0 ] || [ "$(wc -l <<<"$err")" -ne 1 ] || ! grep -q 'desktop session' <<<"$err"; then
    fail "no display" "exit $rc, said: $err"; return
  fi
  pass "no display: one line ($err), exit $rc"
}

latin1=$'caf\xe9' # a name that is not UTF-8, as copied from an old Latin-1 system
read_only_program_folder usr/lib/grelm-converter home ""
read_only_program_folder "opt/$latin1/grelm-converter" "home/$latin1" " and home not named in UTF-8"
writable_program_folder portable ""
writable_program_folder "$latin1/grelm-converter" " not named in UTF-8"
no_display
exit_if_failed
echo "all install checks passed"
