#!/bin/sh
# Builds the Debian package from a build folder into a temporary folder and checks what it holds and
# what its control file says.
# Usage: package_contents.sh BUILD-DIR VERSION APP-ID MAINTAINER HOME-URL
set -eu
build=$1
version=$2
appid=$3
maintainer=$4
home=$5
for tool in dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is missing: no Debian package can be built here"
    exit 77
  fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp" >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"
  exit 1
fi
deb="$tmp/cinemork_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "no $(basename "$deb") among: $(ls "$tmp")"; exit 1; }

failed=0
fail() { echo "$*"; failed=1; }

# path, type (f file, x program, z gzip), as "ls -l" shows the mode
listing=$(dpkg-deb -c "$deb")
while read -r path kind; do
  line=$(printf '%s\n' "$listing" | awk -v p="./$path" '$6 == p')
  if [ -z "$line" ]; then
    fail "the package lacks /$path"
    continue
  fi
  mode=${line%% *}
  case $kind in
    x) [ "$mode" = "-rwxr-xr-x" ] || fail "/$path: mode $mode, not a program's" ;;
    *) [ "$mode" = "-rw-r--r--" ] || fail "/$path: mode $mode, not a data file's" ;;
  esac
done <<FILES
usr/bin/cinemork x
usr/bin/cinemork-list x
usr/share/cinemork/help.html f
usr/share/icons/hicolor/16x16/apps/cinemork.xpm f
usr/share/icons/hicolor/32x32/apps/cinemork.xpm f
usr/share/icons/hicolor/scalable/apps/cinemork.svg f
usr/share/applications/$appid.desktop f
usr/share/metainfo/$appid.metainfo.xml f
usr/share/man/man1/cinemork.1.gz z
usr/share/man/man1/cinemork-list.1.gz z
usr/share/bash-completion/completions/cinemork-list f
usr/share/doc/cinemork/copyright f
usr/share/doc/cinemork/changelog.gz z
FILES

# Everything below /usr, owned by root, nothing of the build folder's own.
printf '%s\n' "$listing" | awk '($6 != "./" && $6 !~ /^\.\/usr(\/|$)/) || $6 ~ /^\.\/usr\/local/ {print "outside /usr: " $6}' |
  grep . && failed=1
printf '%s\n' "$listing" | awk '$2 != "root/root" {print "not owned by root: " $6}' | grep . && failed=1

dpkg-deb -x "$deb" "$tmp/root"
for page in cinemork cinemork-list; do
  gzip -t "$tmp/root/usr/share/man/man1/$page.1.gz" || fail "$page.1.gz is no gzip file"
done
grep -q "^MimeType=.*text/html;" "$tmp/root/usr/share/applications/$appid.desktop" ||
  fail "the desktop entry does not offer to open web pages"
metainfo="$tmp/root/usr/share/metainfo/$appid.metainfo.xml"
grep -q "<launchable type=\"desktop-id\">$appid.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $appid.desktop"
grep -q "<release version=\"$version\" date=\"[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]\"/>" "$metainfo" ||
  fail "the metainfo has no dated release $version"
zcat "$tmp/root/usr/share/doc/cinemork/changelog.gz" | head -n 1 | grep -q "^cinemork ($version) " ||
  fail "the changelog does not start with version $version"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = cinemork ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), not $version"
[ "$(field Section)" = video ] || fail "Section: $(field Section)"
[ "$(field Maintainer)" = "$maintainer" ] || fail "Maintainer: $(field Maintainer), not $maintainer"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
# dpkg-shlibdeps found the libraries the programs link; the image plugin is named by hand.
for package in libc6 'libstdc\+\+6' libqt6core6 libqt6gui6 libqt6widgets6 'libavformat[0-9]+' libqt6svg6; do
  printf '%s\n' "$depends" | tr ',' '\n' | grep -qE "^ *$package( |$)" || fail "Depends lacks $package: $depends"
done
description=$(field Description)
[ "$(printf '%s\n' "$description" | wc -l)" -gt 2 ] || fail "Description has no long text: $description"
if [ -n "$home" ]; then
  [ "$(field Homepage)" = "$home" ] || fail "Homepage: $(field Homepage), not $home"
else
  [ -z "$(field Homepage)" ] || fail "Homepage given without a home address: $(field Homepage)"
fi
exit $failed
