#!/usr/bin/env bash
# Builds the Debian package from the build tree, unpacks it into a temporary
# root and checks that it holds a working program: the layout, the links in
# /usr/bin, the launcher, the control fields, and the command-line program
# run through its link (it must find the catalogue and the DVD plug-in
# beside the real executable).
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/out/oxbel_*.deb)
[[ ${#debs[@]} == 1 && -f ${debs[0]} ]] || fail "no single package in $(ls "$work/out")"
deb=${debs[0]}
[[ $(basename "$deb") =~ ^oxbel_[0-9.]+_$(dpkg --print-architecture)\.deb$ ]] || fail "package name $(basename "$deb")"

root=$work/root
dpkg-deb -x "$deb" "$root"
folder=usr/lib/oxbel
for file in $folder/oxbel $folder/oxbel-cli $folder/oxbel3gpformat.ini $folder/oxbel-manual.html \
  $folder/LibAV/libdvddec.so usr/share/applications/oxbel.desktop usr/share/icons/hicolor/scalable/apps/oxbel.svg; do
  [[ -f $root/$file ]] || fail "missing /$file"
done
[[ -d $root/$folder/skin ]] || fail "missing /$folder/skin"
for program in oxbel oxbel-cli; do
  [[ -L $root/usr/bin/$program ]] || fail "/usr/bin/$program is not a link"
  [[ $(readlink "$root/usr/bin/$program") == ../lib/oxbel/$program ]] || fail "/usr/bin/$program points elsewhere"
done

desktop=$root/usr/share/applications/oxbel.desktop
grep -qx "Exec=/$folder/oxbel" "$desktop" || fail "launcher: $(grep Exec "$desktop")"
grep -qx "Icon=oxbel" "$desktop" || fail "launcher icon"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop" || fail "launcher does not validate"; fi

depends=$(dpkg-deb -f "$deb" Depends)
for package in libavcodec59 libavformat59 libavutil57 libswscale6 libswresample4 libavfilter8 libavdevice59 \
  libsdl2-2.0-0 libdvdread8 libqt6core6 libqt6widgets6 qt6-qpa-plugins libc6 libstdc++6; do
  [[ ", $depends," == *", $package"[,\ ]* ]] || fail "Depends lacks $package: $depends"
done
[[ $(dpkg-deb -f "$deb" Suggests) == *libdvdcss2* ]] || fail "Suggests lacks libdvdcss2"
dpkg-deb -f "$deb" Description | grep -q "libdvdcss2" || fail "the description does not say what libdvdcss2 is for"

cli=$root/usr/bin/oxbel-cli
"$cli" --help | grep -q "^Usage: oxbel-cli" || fail "oxbel-cli --help"
"$cli" formats | grep -q "Mobile Phone 3GP h263 Video" || fail "oxbel-cli formats did not list the catalogue"
mkdir "$work/nodisc"
if "$cli" dvd titles "$work/nodisc" >"$work/dvd.log" 2>&1; then fail "an empty folder read as a DVD"; fi
grep -q "Load library" "$work/dvd.log" && fail "the DVD plug-in was not found: $(cat "$work/dvd.log")"
grep -q "no readable title table" "$work/dvd.log" || fail "oxbel-cli dvd titles: $(cat "$work/dvd.log")"
echo "package $(basename "$deb") checked"
