#!/usr/bin/env bash
# Builds the Debian package from a copy of the source tree in OUT_DIR
# (build-deb unless given): dpkg-buildpackage writes the package beside the
# tree it builds, so the copy keeps everything inside the repository and the
# work tree clean. Every run starts from a fresh copy; nothing of an earlier
# build is reused. Prints where the package is.
#   scripts/build-deb.sh [OUT_DIR]
# JOBS (2 unless given) parallel jobs; DEB_BUILD_OPTIONS is passed on.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-deb}
case "$out" in "" | / | . | ./ | ..*) echo "build-deb: will not empty $out" >&2; exit 2 ;; esac
jobs=${JOBS:-2}

version=$(sed -n 's/^project(sylvaro_lite VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "build-deb: no project version in CMakeLists.txt" >&2; exit 1; }
tree="$out/sylvaro-lite-$version"

rm -rf "$out"
mkdir -p "$tree"
# The files the repository holds or would hold (committed, changed or new,
# but not ignored: no build folders); without git, everything but those.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
        tar --null -T - -cf - | tar -xf - -C "$tree"
else
    tar --exclude=./build --exclude='./build-*' --exclude=./.git -cf - . | tar -xf - -C "$tree"
fi

start=$SECONDS
(cd "$tree" && DEB_BUILD_OPTIONS="parallel=$jobs ${DEB_BUILD_OPTIONS:-}" \
    dpkg-buildpackage -us -uc -b) >"$out/build.log" 2>&1 || {
    tail -n 40 "$out/build.log" >&2
    echo "build-deb: dpkg-buildpackage failed; the whole log is $out/build.log" >&2
    exit 1
}
# The package is what is kept; the copy and its build tree are large.
rm -rf "$tree"
arch=$(dpkg --print-architecture)
deb="$out/sylvaro-lite_${version}_${arch}.deb"
[ -f "$deb" ] || { echo "build-deb: $deb was not made" >&2; exit 1; }
echo "Built $deb in $((SECONDS - start)) s (log: $out/build.log)"
