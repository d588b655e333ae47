#!/usr/bin/env bash
# Checks the portable archive (scripts/portable.sh) on systems that have only
# the desktop basics: for each Debian release named (default: bookworm, the
# build's own, then trixie, a newer glibc), a root made with debootstrap
# --variant=minbase plus OpenGL, fontconfig, freetype and the core X client
# libraries, kept between runs in $GRELM_ROOTS (default /var/cache/grelm-roots)
# and made when absent. In it, as an ordinary user, the archive is unpacked and
#   - ldd resolves every ELF file of it, the Qt libraries from the archive;
#   - --convert converts a folder of screenshots;
#   - the window starts on the host's Xvfb (its socket bound into the root)
#     with a foreign QT_PLUGIN_PATH and a Wayland session's variables
#     (QT_QPA_PLATFORM=wayland too, which would stop a Qt without a Wayland
#     plugin), loads no plugin from outside the archive, and looks like
#     docs/main-window.png;
# Making a root needs root and Debian's package registry: without either, the
# release's checks are reported as skipped (exit 0), never as passed.
# Usage: tests/install/portable_archive.sh [archive [release...]]
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/support/outside_checks.sh
archive="${1:-$(ls build/grelm-converter-*-linux-x86_64.tar.gz 2>/dev/null | head -n 1)}"
[ -f "$archive" ] || { echo "build the archive first (scripts/portable.sh)"; exit 1; }
archive="$(readlink -f "$archive")"
shift || true
releases=("${@:-bookworm}")
[ $# -eq 0 ] && releases=(bookworm trixie)
roots="${GRELM_ROOTS:-/var/cache/grelm-roots}"
basics=libgl1,libegl1,libopengl0,libfontconfig1,libfreetype6,libx11-6,libx11-xcb1,libxcb1
mirror="${GRELM_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
user=player owner=""

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP  portable archive: making and entering a root needs root"; exit 0
fi
for tool in debootstrap:debootstrap Xvfb:xvfb import:imagemagick compare:imagemagick; do
  command -v "${tool%%:*}" >/dev/null || scripts/install-deps.sh "${tool#*:}" >/dev/null 2>&1 || true
done
if ! command -v debootstrap >/dev/null; then
  echo "SKIP  portable archive: no debootstrap (the package registry is out of reach)"; exit 0
fi
enter_private_mount_namespace GRELM_PORTABLE_NAMESPACE "$0" "$archive" "${releases[@]}"
[ -n "${GRELM_PORTABLE_NAMESPACE:-}" ] || { echo "FAIL  no private mount namespace for the root's mounts"; exit 1; }

scratch_root /tmp/grelm-portable
work="$root"
xvfb=""
at_exit() {
  [ -n "$xvfb" ] && kill "$xvfb"
  unmount_below "$roots" -l
}

# The host's X server: the window is drawn there, the root reaches it through its socket.
display=$(( 70 + $$ % 20 ))
while [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

# Screenshots to convert, made by the build's checker.
build_bin="$(dirname "$archive")/bin"
"$build_bin/grelm-fault-check" make "$work/shots" 3 160 120 >/dev/null

# Makes the root of release $1 when the cache lacks it; says how long it took.
make_root() {
  local root="$roots/$1" t0=$SECONDS
  [ -f "$root/.grelm-root" ] && [ "$(cat "$root/.grelm-root")" = "$basics" ] && return 0
  rm -rf "$root" "$root.partial" && mkdir -p "$roots"
  if ! debootstrap --variant=minbase --include="$basics" "$1" "$root.partial" "$mirror" >"$work/debootstrap-$1.log" 2>&1; then
    tail -n 3 "$work/debootstrap-$1.log"; rm -rf "$root.partial"; return 1
  fi
  echo "$basics" > "$root.partial/.grelm-root"
  mv "$root.partial" "$root"
  echo "      made the $1 root in $((SECONDS - t0)) s"
}

# Runs a command in root $1 as the ordinary user, with a clean environment; the rest is the command.
as_user() {
  local root="$1"; shift
  chroot --userspec="$owner" "$root" env -i HOME="/home/$user" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}

check_release() {
  local release="$1" t0=$SECONDS
  if ! make_root "$release"; then
    skip "$release: cannot make the root (no package registry?)"; return
  fi
  local root="$roots/$release" home="/home/$user" folder out
  mount --bind /dev "$root/dev" && mount -t proc proc "$root/proc"
  mkdir -p "$root/tmp/.X11-unix" && mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
  chroot "$root" id "$user" >/dev/null 2>&1 || chroot "$root" useradd -s /bin/sh "$user"
  owner="$(chroot "$root" id -u "$user"):$(chroot "$root" id -g "$user")"
  rm -rf "$root$home" "$root/tmp/grelm-screenshot" && mkdir -p "$root$home" && chown "$owner" "$root$home"
  cp "$archive" "$root$home/" && chown "$owner" "$root$home/$(basename "$archive")"
  as_user "$root" sh -c "cd $home && tar -xzf $(basename "$archive")"
  folder="$home/$(basename "$archive" .tar.gz)"

  # Every ELF file resolves; Qt comes from the archive, not from the system.
  local elf missing="" from_system=""
  while read -r elf; do
    [ "$(head -c 4 "$root$elf" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
    out=$(as_user "$root" ldd "$elf" 2>&1) || { missing+=" $elf"; continue; }
    grep -q 'not found' <<<"$out" && missing+=" $elf($(grep 'not found' <<<"$out" | awk '{print $1}' | tr '\n' ' '))"
    grep 'libQt6\|libicu\|libexif\|libturbojpeg' <<<"$out" | grep -v "=> $folder/" >/dev/null && from_system+=" $elf"
  done < <(find "$root$folder" -type f | sed "s|^$root||")
  if [ -n "$missing" ]; then fail "$release: ldd" "unresolved:$missing"
  elif [ -n "$from_system" ]; then fail "$release: ldd" "bundled libraries taken from elsewhere:$from_system"
  else pass "$release: ldd resolves every ELF file of the archive"; fi

  # --convert with no display.
  cp -r "$work/shots" "$root$home/game" && chown -R "$owner" "$root$home/game"
  out=$(as_user "$root" "$folder/grelm-converter" --convert "$home/game" --thumbs 2>&1) || true
  if [ "$(ls "$root$home/game"/*.jpg "$root$home/game/Thumbs"/th_*.jpg 2>/dev/null | wc -l)" -eq 6 ]; then
    pass "$release: --convert converts a folder ($(grep -o 'converted [0-9]* of [0-9]*' <<<"$out"))"
  else
    fail "$release: --convert" "$out"
  fi

  # The watch service's script points the unit at the archive's program.
  out=$(as_user "$root" "$folder/install-watch-service.sh" 2>&1) || true
  local unit="$root$home/.config/systemd/user/grelm-converter-watch.service"
  if [ -f "$unit" ] && [ "$(grep '^ExecStart=' "$unit")" = "ExecStart=\"$folder/grelm-converter\" --watch \$GRELM_OPTIONS" ]; then
    pass "$release: install-watch-service.sh writes the unit for the archive's program"
  else
    fail "$release: install-watch-service.sh" "$out $(grep '^ExecStart=' "$unit" 2>/dev/null)"
  fi

  # The window, as docs/main-window.png shows it (scripts/screenshot.sh's folder).
  local game=/tmp/grelm-screenshot/Half-Life foreign="$home/foreign-qt/plugins"
  mkdir -p "$root$game/cstrike" "$root$game/valve" "$root$foreign/platforms"
  touch "$root$game/"{de_dust0000,de_dust0001,cs_office0000}.bmp
  cp "$root$folder/plugins/platforms/libqxcb.so" "$root$foreign/platforms/"
  chown -R "$owner" "$root/tmp/grelm-screenshot" "$root$home/foreign-qt"
  printf '"%s"\r\n' "$game" > "$root$folder/SLoadPath.txt" && chown "$owner" "$root$folder/SLoadPath.txt"
  chroot --userspec="$owner" "$root" env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    DISPLAY=":$display" QT_PLUGIN_PATH="$home/foreign-qt/plugins" XDG_SESSION_TYPE=wayland \
    WAYLAND_DISPLAY=wayland-0 QT_QPA_PLATFORM=wayland QT_DEBUG_PLUGINS=1 sh -c "cd $game && exec $folder/grelm-converter" \
    >"$work/window-$release.log" 2>&1 &
  local program=$!
  sleep 4
  import -display ":$display" -window root "$work/screen-$release.png" 2>/dev/null || true
  kill "$program" 2>/dev/null; wait "$program" 2>/dev/null || true
  if grep -q "foreign-qt" "$work/window-$release.log"; then
    fail "$release: window" "looked for plugins outside the archive: $(grep -m1 foreign-qt "$work/window-$release.log")"
  elif ! grep -q "$folder/plugins/platforms/libqxcb.so" "$work/window-$release.log"; then
    fail "$release: window" "did not load the archive's xcb plugin: $(tail -n 3 "$work/window-$release.log")"
  else
    convert "$work/screen-$release.png" -crop 504x373+310+249 +repage "$work/window-$release.png"
    # A tolerant comparison: the share of pixels that differ by more than 10 %.
    local differing
    differing=$(compare -metric AE -fuzz 10% "$work/window-$release.png" docs/main-window.png null: 2>&1 || true)
    if [[ "$differing" =~ ^[0-9]+$ ]] && [ "$differing" -le $((504 * 373 / 100)) ]; then
      pass "$release: the window shows through X11 with its own plugins, as docs/main-window.png ($differing pixels differ)"
    else
      cp "$work/window-$release.png" "/tmp/grelm-portable-window-$release.png"
      fail "$release: window" "looks unlike docs/main-window.png ($differing pixels differ; see /tmp/grelm-portable-window-$release.png)"
    fi
  fi
  echo "      $release: $((SECONDS - t0)) s"
}

for release in "${releases[@]}"; do check_release "$release"; done
exit_if_failed
[ "$skipped" -eq 0 ] && echo "all portable archive checks passed" || echo "portable archive: $skipped check(s) skipped"
