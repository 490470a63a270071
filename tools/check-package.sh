#!/usr/bin/env bash
# Checks the Debian package that tools/package.sh made, and `cmake --install` of the same build
# folder: the files each one holds (and nothing else), the control fields, the desktop entry
# (desktop-file-validate), the icon sizes, the manual pages against the programs' own --help,
# and that the packaged programs run without a display and print the package's version.
#   tools/check-package.sh build/qrx5_<version>_<architecture>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "package check: $*" >&2
  failures=$((failures + 1))
}

expected=(
  usr/bin/qrx5
  usr/bin/qrx5-cli
  usr/bin/qrx5-sim
  usr/share/applications/qrx5.desktop
  usr/share/doc/qrx5/README.Debian
  usr/share/icons/hicolor/128x128/apps/qrx5.png
  usr/share/icons/hicolor/256x256/apps/qrx5.png
  usr/share/icons/hicolor/48x48/apps/qrx5.png
  usr/share/icons/hicolor/scalable/apps/qrx5.svg
  usr/share/man/man1/qrx5-cli.1.gz
  usr/share/man/man1/qrx5-sim.1.gz
  usr/share/man/man1/qrx5.1.gz
)
printf '%s\n' "${expected[@]}" | sort >"$work/expected"

# The package's files, and cmake --install's, are exactly these.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's#^\./##' | sort >"$work/packaged"
diff -u "$work/expected" "$work/packaged" || fail "the package holds other files than expected"
cmake --install build --prefix "$work/prefix" >/dev/null
(cd "$work/prefix" && find . ! -type d | sed 's#^\./#usr/#' | sort) >"$work/installed"
diff -u "$work/expected" "$work/installed" || fail "cmake --install puts other files than expected"

# Control fields: the version the programs print, a maintainer, a description, dependencies.
field() { dpkg-deb -f "$deb" "$1"; }
version=$(field Version)
[ "$(field Package)" = qrx5 ] || fail "Package is '$(field Package)'"
[[ "$(field Maintainer)" =~ ^.+\ \<.+@.+\>$ ]] || fail "Maintainer '$(field Maintainer)' is not 'name <address>'"
[ "$(field Description | wc -l)" -ge 3 ] || fail "Description has no long description"
depends=$(field Depends)
names=$(sed 's/([^)]*)//g; s/[,|]/\n/g; s/ //g' <<<"$depends")
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
  libqt6serialport6 libgit2-1.5 qt6-qpa-plugins; do
  grep -qxF "$needed" <<<"$names" || fail "Depends lacks $needed: $depends"
done
if [ "$(id -u)" -eq 0 ]; then
  dpkg --dry-run -i "$deb" >/dev/null || fail "dpkg would not install the package here"
fi

root=$work/root
dpkg-deb -x "$deb" "$root"
for program in qrx5 qrx5-cli qrx5-sim; do
  printed=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/$program" --version) ||
    fail "$program --version failed"
  [ "$printed" = "$program $version" ] || fail "$program prints '$printed', the package is $version"

  # The manual page: made from this program's --help, so every option it takes is in it.
  page=$(zcat "$root/usr/share/man/man1/$program.1.gz" | sed 's/\\-/-/g')
  grep -q "^\.TH \"\?${program^^}\"\? \"1\" .* \"$program $version\"" <<<"$page" ||
    fail "$program.1: no header of section 1 with version $version"
  grep -q "^$program - " <<<"$page" || fail "$program.1: no NAME line"
  grep -qF "$(pwd)" <<<"$page" && fail "$program.1 names the build folder"
  for option in $("$root/usr/bin/$program" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    grep -qF -- "$option" <<<"$page" || fail "$program.1 lacks $option"
  done
done

desktop=$root/usr/share/applications/qrx5.desktop
# Errors fail the validator; warnings and hints, which it prints and passes, fail here too.
report=$(desktop-file-validate "$desktop" 2>&1) || true
[ -z "$report" ] || fail "desktop-file-validate: $report"
for line in Type=Application Exec=qrx5 Icon=qrx5 'Categories=.*Settings;' 'Comment=.+'; do
  grep -qxE "$line" "$desktop" || fail "qrx5.desktop lacks $line"
done

# PNG icons: their size in the header is the size of their folder.
for size in 48 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/qrx5.png
  read -r -a b <<<"$(od -An -tu1 -j16 -N8 "$png")"
  w=$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))
  h=$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "${size}x${size}/qrx5.png is ${w}x${h}"
done
grep -q "<svg" "$root/usr/share/icons/hicolor/scalable/apps/qrx5.svg" || fail "qrx5.svg is no SVG"

if [ "$failures" -gt 0 ]; then
  echo "package check: $failures failed"
  exit 1
fi
echo "package check: $deb, version $version, ${#expected[@]} files"
echo "Depends: $depends"
