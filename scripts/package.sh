#!/usr/bin/env bash
# Builds the Debian package build/tallyhawk_<version>_amd64.deb and checks it: the menu
# entry, the software-centre description and the package itself.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TALLYHAWK_BUILD_DIR:-$root/build}

"$root/scripts/setup-deps.sh" scdoc dpkg-dev file appstream desktop-file-utils lintian
"$root/scripts/build.sh" -DTALLYHAWK_PACKAGE=ON -DCMAKE_INSTALL_PREFIX=/usr
rm -f "$build"/tallyhawk_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/tallyhawk_*.deb)

appstreamcli validate --no-net "$root/packaging/org.quillmarsh.Tallyhawk.metainfo.xml"
desktop-file-validate "$root/packaging/org.quillmarsh.Tallyhawk.desktop"
# Errors fail the package; warnings are listed.
lintian --fail-on error "$deb"
echo "Package: $deb"
