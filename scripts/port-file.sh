# Sourced: waits for a local server that writes its port into a file once it listens.
# quadrivo_wait_for_port_file PID FILE: returns 0 when FILE holds the port, 1 when the server
# ended or did not answer within 10 s.
quadrivo_wait_for_port_file() {
  local server=$1 port_file=$2
  for _ in $(seq 200); do
    [ -s "$port_file" ] && return 0
    kill -0 "$server" 2>/dev/null || return 1
    sleep 0.05
  done
  [ -s "$port_file" ]
}
