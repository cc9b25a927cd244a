#!/usr/bin/env bash
# Runs a command on the current X display, or on a virtual one (xvfb-run) when there is none.
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then
    exec "$@"
fi
if command -v xvfb-run >/dev/null 2>&1; then
    exec xvfb-run -a -s "-screen 0 1600x1000x24" "$@"
fi
echo "with-display: no X display and no xvfb-run; the command runs without a display" >&2
exec "$@"
