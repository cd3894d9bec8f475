#!/usr/bin/env bash
# Runs a Windows test program under Wine with the update server fixture beside it:
#   with_update_server.sh ROOT PROGRAM [ARGUMENTS...]
# starts tests/fixtures/update_server.py on 127.0.0.1 (files of /bin/ from ROOT, signatures made
# with the private key named in QUADRIVO_UPDATE_SIGNING_KEY), hands its port to the program in
# QUADRIVO_UPDATE_SERVER_PORT, and stops the server again, by its process id.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
root=$1
shift
# The requests go to 127.0.0.1 directly, never through a proxy of the environment.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY

source "$here/scripts/port-file.sh"
port_file=$(mktemp)
rm -f "$port_file"
key=()
[ -n "${QUADRIVO_UPDATE_SIGNING_KEY:-}" ] && key=(--key "$QUADRIVO_UPDATE_SIGNING_KEY")
# Debian's python3, which has python3-cryptography for the signatures.
/usr/bin/python3 "$here/tests/fixtures/update_server.py" --port-file "$port_file" --root "$root" "${key[@]}" &
server=$!
if ! quadrivo_wait_for_port_file "$server" "$port_file"; then
  echo "with_update_server: the server did not start" >&2
  kill "$server" 2>/dev/null
  exit 1
fi
QUADRIVO_UPDATE_SERVER_PORT=$(cat "$port_file")
export QUADRIVO_UPDATE_SERVER_PORT
rm -f "$port_file"

"$here/scripts/wine-exec.sh" "$@"
rc=$?

kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $rc
