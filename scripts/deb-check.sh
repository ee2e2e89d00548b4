#!/usr/bin/env bash
# Checks the package `make deb` built in DEB_DIR against the build in
# BUILD_DIR: lintian reports no error and no warning (one accepted on purpose
# would be overridden, with its reason, in debian/sylvaro-lite.lintian-overrides),
# the package holds exactly the files `make install` installs, and it leaves
# the desktop's caches to the package manager's triggers.
#   scripts/deb-check.sh DEB_DIR BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
deb_dir=$1
build_dir=$2
version=$(sed -n 's/^project(sylvaro_lite VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="$deb_dir/sylvaro-lite_${version}_$(dpkg --print-architecture).deb"
changes="${deb%.deb}.changes"
failed=0
fail() {
    echo "deb-check: $*" >&2
    failed=1
}

echo "lintian $changes"
lintian --fail-on error,warning --info --display-level '>=warning' "$changes" || fail "lintian"

# What the package installs, against what `make install` stages for /usr. The
# manual page is compressed in the package; the package adds its own
# copyright, changelog and lintian overrides.
staged=$(mktemp -d)
trap 'rm -rf "$staged"' EXIT
DESTDIR="$staged" cmake --install "$build_dir" --prefix /usr >/dev/null
packaged=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e 's|^\./|/|' -e 's|/$||' |
    grep -v -e '^$' -e '^/usr/share/doc' -e '^/usr/share/lintian' | sed 's|\.1\.gz$|.1|' | sort)
installed=$(cd "$staged" && find . -mindepth 1 | sed 's|^\./|/|' | sort)
if [ "$packaged" != "$installed" ]; then
    fail "the package and \`make install\` differ (< package, > make install):"
    diff <(echo "$packaged") <(echo "$installed") | grep '^[<>]' >&2 || true
fi
for cache in /usr/share/applications/mimeinfo.cache /usr/share/mime/globs2 \
    /usr/share/icons/hicolor/icon-theme.cache; do
    if grep -qx "$cache" <<<"$packaged"; then
        fail "the package holds $cache, which the triggers make"
    fi
done

# The libraries come from the shared-library dependencies, the encoder is
# recommended.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libsdl2-2.0-0 libsndfile1 libsoxr0 libc6; do
    grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done
grep -qw lame <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "lame is not recommended"

[ "$failed" -eq 0 ] && echo "deb-check: $deb passed"
exit "$failed"
