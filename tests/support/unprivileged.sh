#!/bin/sh
# Runs a test program as the unprivileged user "nobody" when it is started by
# the superuser, who could read a file whatever its permissions say.
if [ "$(id -u)" = 0 ]; then
    export HOME=/tmp
    unset XDG_RUNTIME_DIR
    exec setpriv --reuid=65534 --regid=65534 --clear-groups -- "$@"
fi
exec "$@"
