#!/usr/bin/env bash
# Checks the packages that `make package` made: the desktop entry, the AppStream metadata and
# lintian on both packages. Errors fail; lintian's warnings are listed (docs/packaging.md).
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)

desktop-file-validate "$here/packaging/com.orvane.Orvane.desktop"
appstreamcli validate --no-net --pedantic "$here/packaging/com.orvane.Orvane.metainfo.xml"
shopt -s nullglob
packages=("$build"/packages/orvane*.deb)
(( ${#packages[@]} == 2 )) || { echo "check-packages: expected two packages in $build/packages" >&2; exit 1; }
# lintian frowns on running as root, which is all it says here when the packages are clean.
lintian --fail-on error --info "${packages[@]}" 2> >(grep -v 'running with root privileges' >&2)
echo "check-packages: ${packages[*]##*/} are clean of lintian errors"
