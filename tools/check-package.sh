#!/usr/bin/env bash
# Builds the Debian package from an already built folder and checks it as a user would meet it:
# its files and control fields, the desktop entry, the metainfo and the manual page, then the
# unpacked program run from a folder that holds no ndlist.txt.
#   tools/check-package.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
source_dir=$(realpath "$(dirname "$0")/..")
version=4.2.1002
arch=$(dpkg --print-architecture)
deb=$build/quorvel_${version}_${arch}.deb

fail() {
    echo "check-package: $*" >&2
    exit 1
}

rm -f "$deb"
(cd "$build" && cpack -G DEB >"$build/cpack.log" 2>&1) || fail "cpack failed: $(cat "$build/cpack.log")"
[ -f "$deb" ] || fail "no $deb"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' >"$work/contents"
expected=(
    /usr/bin/quorvel
    /usr/share/quorvel/ndlist.txt
    /usr/share/applications/quorvel.desktop
    /usr/share/metainfo/io.github.quorvel.quorvel.metainfo.xml
    /usr/share/man/man1/quorvel.1.gz
    /usr/share/icons/hicolor/scalable/apps/quorvel.svg
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/quorvel.png")
done
for path in "${expected[@]}"; do
    grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
done

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quorvel ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is $(field Architecture)"
depends=$(field Depends)
for dep in fonts-ipafont-mincho fonts-ipafont-gothic fonts-ipaexfont-mincho \
    qt6-translations-l10n libqt6widgets6 libqt6printsupport6; do
    [[ ", $depends," == *", $dep"[\ ,]* ]] || fail "Depends lacks $dep: $depends"
done

root=$work/root
dpkg -x "$deb" "$root"
# Its only hint, two main categories, is the menu placement asked for.
desktop-file-validate "$root/usr/share/applications/quorvel.desktop" >"$work/desktop" 2>&1 ||
    fail "desktop-file-validate refused the desktop entry: $(cat "$work/desktop")"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >"$work/appstream" ||
    fail "appstreamcli refused the metainfo: $(cat "$work/appstream")"
# Every PNG is the size its folder names.
for size in 16 22 24 32 48 64 128 256; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/quorvel.png" |
        grep -q "PNG image data, $size x $size" || fail "the ${size}x${size} icon is not $size pixels"
done
# The manual page renders without a single troff warning.
warnings=$(zcat "$root/usr/share/man/man1/quorvel.1.gz" | groff -k -man -Tutf8 -ww -z 2>&1)
[ -z "$warnings" ] || fail "the manual page gives warnings: $warnings"

# The unpacked program finds its table in ../share/quorvel from a folder without one, with no
# display and no Qt platform chosen for it.
mkdir "$work/elsewhere"
cd "$work/elsewhere"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
"$root/usr/bin/quorvel" --version >"$work/version" 2>&1 || fail "--version failed: $(cat "$work/version")"
grep -q "$version" "$work/version" || fail "--version printed: $(cat "$work/version")"
"$root/usr/bin/quorvel" --pdf page.pdf "$source_dir/data/samples/precip_30y.csv" >"$work/pdf" 2>&1 ||
    fail "--pdf failed: $(cat "$work/pdf")"
pdfinfo page.pdf | grep -qE '^Pages: +1$' || fail "--pdf wrote no one-page PDF"
[ ! -e ndlist.txt ] || fail "the program left an ndlist.txt in the start directory"
echo "check-package: $(basename "$deb") passed"
