#!/usr/bin/env python3
"""A local update server for `make run`: offers a new version whose download is a program file.

    demo_update_server.py --program build/windows/bin/Quadrivo.exe --version 1.19 \
                          --key build/update-key/private.pem --port-file F [--rate KB]

Listens on 127.0.0.1 at a free port, writes the port into F once it is listening, and serves
  /update.xml            the update description: download address, version, and the signature
                         made with --key by the publisher's tool (release/sign_update.py)
  /Quadrivo-<ver>.exe    the program file, with its length announced; with --rate at about that
                         many kilobytes a second, so that the update window's progress is seen
until it is stopped (SIGTERM or SIGINT). Only loopback is served.
"""
import argparse
import http.server
import os
import signal
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "release"))
import sign_update  # noqa: E402  (the publisher's own tool)


CHUNK = 16 * 1024


def make_handler(program_path, version, signature, port_holder, rate_kb):
    program_name = f"/Quadrivo-{version}.exe"

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            if self.path == "/update.xml":
                address = f"http://127.0.0.1:{port_holder[0]}{program_name}"
                body = sign_update.update_document(address, version, signature).encode("utf-8")
                self._send(200, "text/xml; charset=utf-8", body)
            elif self.path == program_name:
                with open(program_path, "rb") as program:
                    self._send(200, "application/octet-stream", program.read(), rate_kb)
            else:
                self._send(404, "text/plain", b"not found\n")

        def _send(self, status, content_type, body, rate_kb=0):
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            if not rate_kb:
                self.wfile.write(body)
                return
            pause = CHUNK / (rate_kb * 1024.0)
            for start in range(0, len(body), CHUNK):
                self.wfile.write(body[start:start + CHUNK])
                self.wfile.flush()
                time.sleep(pause)

        def log_message(self, fmt, *args):
            sys.stderr.write("demo update server: " + (fmt % args) + "\n")

    return Handler


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--version", default="1.19")
    parser.add_argument("--key", required=True, help="the private key the update is signed with")
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--rate", type=int, default=0, help="download speed in KB/s (0: as fast as possible)")
    args = parser.parse_args()

    with open(args.program, "rb") as program:
        signature = sign_update.sign_base64(sign_update.load_private_key(args.key), program.read(), args.version)
    port_holder = [0]
    handler = make_handler(args.program, args.version, signature, port_holder, args.rate)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    port_holder[0] = server.server_address[1]
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    with open(args.port_file + ".tmp", "w") as f:
        f.write(str(port_holder[0]))
    os.replace(args.port_file + ".tmp", args.port_file)
    try:
        server.serve_forever()
    except (KeyboardInterrupt, SystemExit):
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
