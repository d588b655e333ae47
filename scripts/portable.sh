#!/usr/bin/env bash
# Builds the portable archive: one folder that runs where it is unpacked on
# any x86-64 Linux desktop, with the program, readme.txt, the font, qt.conf,
# the Qt plugins the program uses and every shared library beyond what every
# desktop has, each found through a run path relative to $ORIGIN. Left to the
# system: the C and C++ runtimes, the OpenGL dispatch libraries, fontconfig,
# freetype, the core X client libraries, and what those pull in. Writes
# build/grelm-converter-VERSION-linux-x86_64.tar.gz and prints its path last.
# Installs patchelf when missing; builds in Release first (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh patchelf
scripts/build.sh

version=$(sed -n 's/^project(.* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name="grelm-converter-$version-linux-x86_64"
archive="build/$name.tar.gz"
stage="build/portable"
folder="$stage/$name"
plugins_from="$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)"
rm -rf "$stage" "$archive"
mkdir -p "$folder"/{lib,fonts,licenses,plugins}

# The program and what it reads beside itself.
cp build/bin/grelm-converter "$folder/"
strip --strip-unneeded "$folder/grelm-converter"
cat resources/readme.txt packaging/portable/readme-portable.txt > "$folder/readme.txt"
cp -L build/bin/fonts/tahoma.ttf "$folder/fonts/"
cp packaging/portable/qt.conf packaging/io.sourceforge.grelm.converter.metainfo.xml "$folder/"
# Watch mode as a user service: the unit, and the script that points it at this folder's program.
cp packaging/grelm-converter-watch.service packaging/portable/install-watch-service.sh "$folder/"

# The plugins: the X11 platform and its OpenGL integrations, and the picture
# formats (the window's banner and about picture are JPEG, its icon ICO).
for plugin in platforms/libqxcb.so xcbglintegrations/libqxcb-glx-integration.so \
              xcbglintegrations/libqxcb-egl-integration.so imageformats/libqjpeg.so \
              imageformats/libqico.so imageformats/libqgif.so; do
  mkdir -p "$folder/plugins/$(dirname "$plugin")"
  cp "$plugins_from/$plugin" "$folder/plugins/$plugin"
done

# The desktop basics by soname, and everything they load themselves.
basics=(libGL.so.1 libOpenGL.so.0 libEGL.so.1 libfontconfig.so.1 libfreetype.so.6
        libX11.so.6 libX11-xcb.so.1 libxcb.so.1)
declare -A left_out=([ld-linux-x86-64.so.2]=1 [libstdc++.so.6]=1 [libgcc_s.so.1]=1)
# soname path, one line each, for every library ELF file $1 loads.
needed() { ldd "$1" | awk '$2 == "=>" && $3 ~ /^\// {print $1, $3}'; }
for soname in "${basics[@]}"; do
  left_out[$soname]=1
  path=$(ldconfig -p | awk -v s="$soname" '$1 == s && /x86-64/ && !found {print $NF; found = 1}')
  [ -n "$path" ] || { echo "the build machine lacks $soname" >&2; exit 1; }
  while read -r dep _; do left_out[$dep]=1; done < <(needed "$path")
done
# The package that owns a library file (merged /usr: try both spellings).
owner() {
  local real; real=$(readlink -f "$1")
  dpkg -S "$real" 2>/dev/null || dpkg -S "${real#/usr}" 2>/dev/null || dpkg -S "/usr$real" 2>/dev/null
}
declare -A bundled=()
while read -r soname path; do
  [ -n "${left_out[$soname]:-}" ] && continue
  package=$(owner "$path" | head -n 1 | cut -d: -f1) || true
  [ -n "$package" ] || { echo "no Debian package owns $path, so its licence is unknown" >&2; exit 1; }
  [ "$package" = libc6 ] && continue
  [ -n "${bundled[$soname]:-}" ] && continue
  bundled[$soname]="$package"
  cp -L "$path" "$folder/lib/$soname"
done < <(for f in "$folder/grelm-converter" "$folder"/plugins/*/*.so; do needed "$f"; done | sort -u)

# Run paths: each object finds its own direct dependencies in lib/.
patchelf --set-rpath '$ORIGIN/lib' "$folder/grelm-converter"
for f in "$folder"/lib/*; do patchelf --set-rpath '$ORIGIN' "$f"; done
for f in "$folder"/plugins/*/*.so; do patchelf --set-rpath '$ORIGIN/../../lib' "$f"; done

# Licences: each package's Debian copyright file, and where each library's source is.
{
  echo "Each library in lib/ and the Debian packages it comes from (binary, source, version):"
  for soname in $(printf '%s\n' "${!bundled[@]}" | sort); do
    package=${bundled[$soname]}
    printf '%s\t%s\t%s\n' "$soname" "$package" \
      "$(dpkg-query -W -f='${source:Package}\t${source:Version}' "$package")"
  done
  printf '%s\t%s\t%s\n' fonts/tahoma.ttf fonts-wine "$(dpkg-query -W -f='${source:Package}\t${source:Version}' fonts-wine)"
} > "$folder/licenses/SOURCES.txt"
for package in $(printf '%s\n' "${bundled[@]}" fonts-wine | sort -u); do
  cp "/usr/share/doc/$package/copyright" "$folder/licenses/$package.copyright"
done

# Every file dated as the last commit, so that the same sources give the same archive.
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$stamp" -cf - "$name" | gzip -9n > "$archive"
echo "$(du -sh --apparent-size "$folder" | cut -f1) unpacked, $(du -h --apparent-size "$archive" | cut -f1) packed, ${#bundled[@]} libraries"
echo "$archive"
