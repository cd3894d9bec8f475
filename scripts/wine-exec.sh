#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix (the test emulator of ctest).
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
