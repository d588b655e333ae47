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
