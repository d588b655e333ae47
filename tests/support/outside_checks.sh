# Lines shared by the scripts that drive the built programs from outside;
# sourced from the repository's root.

# Exits with a hint unless each named program of build folder $1 is built.
require_built() {
  local build="$1" p
  shift
  for p in "$@"; do
    [ -x "$PWD/$build/bin/$p" ] || { echo "build $PWD/$build/bin/$p first (scripts/build.sh)"; exit 1; }
  done
}

# built_programs <build folder> <variable>=<program>...: exits with a hint
# unless each program is built, and sets each variable to its program's path.
built_programs() {
  local build="$1" pair
  shift
  for pair in "$@"; do
    require_built "$build" "${pair#*=}"
    printf -v "${pair%%=*}" '%s' "$PWD/$build/bin/${pair#*=}"
  done
}

# As root, runs the calling script again in a mount namespace of its own, so
# that the mounts it makes vanish with it whatever happens. $1 names the
# variable that marks the second run; the rest are the script and its arguments.
enter_private_mount_namespace() {
  local mark="$1"
  shift
  if [ -z "${!mark:-}" ] && [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
    export "$mark=1"
    exec unshare -m --propagation private "$@"
  fi
}

# scratch_root <prefix>: makes a fresh folder $root, named <prefix>.XXXXXX,
# for the script's files. At exit the script's own at_exit runs (where it
# defines one), whatever is mounted below $root is unmounted, and $root goes;
# none of it changes the script's exit status.
scratch_root() {
  root="$(mktemp -d "$1.XXXXXX")"
  # The trap names the folder itself: a function's own $root may be in scope at exit.
  trap "remove_scratch_root $(printf '%q' "$root") 2>/dev/null || true" EXIT
}
remove_scratch_root() {
  if declare -F at_exit >/dev/null; then at_exit || true; fi
  unmount_below "$1" || true
  rm -rf "$1"
}

# Unmounts every mount below folder $1, the deepest first; the rest are umount's
# options. findmnt writes a byte of a name that is not plain text as \xHH.
unmount_below() {
  local folder="$1" m
  shift
  findmnt -rn -o TARGET | grep "^$folder/" | sort -r | while read -r m; do umount "$@" "$(printf '%b' "$m")"; done
}

# Gives the programs a runtime folder of their own below $root.
own_runtime_folder() {
  mkdir -m 700 "$root/runtime"
  export XDG_RUNTIME_DIR="$root/runtime"
}

# The checks' outcomes, one a line: "PASS  what", "FAIL  what: why",
# "SKIP  what"; $failures and $skipped count them.
failures=0 skipped=0
pass() { echo "PASS  $1${2:+: $2}"; }
fail() { echo "FAIL  $1${2:+: $2}"; failures=$((failures + 1)); }
skip() { echo "SKIP  $1"; skipped=$((skipped + 1)); }
# check <what> <expected> <actual>: passes when the two are equal.
check() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1" "expected [$2], got [$3]"; fi
}
# Exits with the count when a check failed.
exit_if_failed() {
  [ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
}
