#!/usr/bin/env bash
# Builds the Debian package from the Release build in build/ (reusing what
# scripts/build.sh or scripts/test.sh built there) and inspects it: its control
# data, its contents, the files an install needs, the desktop entry and the
# AppStream MetaInfo (desktop-file-validate, appstreamcli validate), and
# lintian, which must report no errors. Installs dpkg-dev (dpkg-shlibdeps),
# lintian, desktop-file-utils and appstream when missing.
# Prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh dpkg-dev lintian desktop-file-utils appstream
scripts/build.sh
rm -f build/grelm-converter_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(echo build/grelm-converter_*.deb)
dpkg-deb --info "$deb"
contents=$(dpkg-deb --contents "$deb")
echo "$contents"

missing=0
for path in ./usr/lib/grelm-converter/grelm-converter ./usr/lib/grelm-converter/readme.txt \
            ./usr/lib/grelm-converter/fonts/tahoma.ttf ./usr/bin/grelm-converter \
            ./usr/share/applications/grelm-converter.desktop ./usr/lib/systemd/user/grelm-converter-watch.service \
            ./usr/share/metainfo/io.sourceforge.grelm.converter.metainfo.xml \
            ./usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,256x256}/apps/grelm-converter.png \
            ./usr/share/doc/grelm-converter/copyright ./usr/share/doc/grelm-converter/changelog.gz; do
  grep -q " $path\( ->.*\)\?$" <<<"$contents" || { echo "MISSING from the package: $path"; missing=1; }
done
depends=$(dpkg-deb --field "$deb" Depends)
grep -q 'fonts-wine' <<<"$depends" || { echo "MISSING dependency: fonts-wine"; missing=1; }
grep -q 'libqt6widgets6' <<<"$depends" || { echo "MISSING computed library dependencies"; missing=1; }
grep -q 'libexif12' <<<"$depends" || { echo "MISSING dependency: libexif12"; missing=1; }

echo "== the desktop entry and the AppStream MetaInfo, as packaged"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb --extract "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/grelm-converter.desktop"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/io.sourceforge.grelm.converter.metainfo.xml"

echo "== lintian (errors fail, warnings are listed)"
lintian --fail-on error --display-level '>=warning' "$deb"
[ "$missing" -eq 0 ] || exit 1
echo "$deb"
