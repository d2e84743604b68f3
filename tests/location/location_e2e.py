#!/usr/bin/python3
"""End-to-end test of the location lookup against a real HTTPS server.

Inside a private network and mount namespace: nginx on 127.0.0.1:443 with a
certificate for iplocation.example from a CA made here, /etc/hosts mapping
the name to 127.0.0.1 and the CA bundle holding only that CA, so that the
unmodified lookup code reaches it. Runs the GoogleTest binary once per
server arrangement (served, untrusted certificate, nothing listening, a
listener that never answers).

    location_e2e.py --tests PATH/location_e2e_tests
"""
import argparse
import os
import socketserver
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import sandbox  # noqa: E402

HOST = "iplocation.example"
PATH = "/7xXHrzrkJMZ6nydnqleM7AKd/api.php"
GBK_LOCATION = "北京市 联通".encode("gbk")

SERVER = r"""
        location = %(path)s {
            if ($arg_query = "192.0.2.2") { return 302 https://%(host)s/moved/here; }
            if ($arg_query = "192.0.2.3") { return 503 '<html>busy {"location":"ERROR-PAGE", "titlecont":"x"}</html>'; }
            if ($arg_query = "192.0.2.4") { rewrite ^ /backend/cut last; }
            if ($arg_query = "192.0.2.5") { rewrite ^ /gbk last; }
            if ($arg_query = "192.0.2.6") { rewrite ^ /backend/endless last; }
            if ($arg_query = "192.0.2.7") { rewrite ^ /backend/silent last; }
            if ($arg_query = "192.0.2.8") { return 302 https://%(host)s/loop; }
            if ($arg_query = "192.0.2.9") { rewrite ^ /backend/slow last; }
            return 200 'op_aladdin_callback({"status":"0","data":[{"location":"LOC-$arg_query", "titlecont":"IP"}]})';
        }
        location = /moved/here { return 200 '{"location":"REDIRECTED", "titlecont":"x"}'; }
        location = /loop { return 302 https://%(host)s/loop; }
        location = /gbk { alias %(gbk)s; }
        location /backend/ {
            proxy_pass http://127.0.0.1:8081;
            proxy_http_version 1.0;
            proxy_buffering off;
        }
"""


class Backend(socketserver.BaseRequestHandler):
    """Replies nginx cannot make itself: cut off mid-way, endless, never."""

    def setup(self):
        self.request.settimeout(30)

    def handle(self):
        request = b""
        while b"\r\n\r\n" not in request:
            chunk = self.request.recv(4096)
            if not chunk:
                return
            request += chunk
        target = request.split(b" ", 2)[1]
        try:
            if target.startswith(b"/backend/cut"):
                self.request.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n"
                                     b'{"data":[{"location":"CUT", "titlecont":"IP", "more":"' + b"x" * 1000)
            elif target.startswith(b"/backend/endless"):
                self.request.sendall(b'HTTP/1.0 200 OK\r\n\r\n{"location":"ENDLESS", "titlecont":"IP"')
                chunk = b"y" * 65536
                for _ in range(4096):  # 256 MiB at most, then give up
                    self.request.sendall(chunk)
            elif target.startswith(b"/backend/slow"):
                time.sleep(1.5)  # slow, but inside the time-out
                self.request.sendall(b'HTTP/1.0 200 OK\r\n\r\n{"location":"SLOW", "titlecont":"IP"}')
            elif target.startswith(b"/backend/silent"):
                self.request.recv(1)  # until the client gives up (nginx then closes), or 30 s
        except OSError:
            pass


def run_tests(binary, pattern, env):
    print("== %s" % pattern, flush=True)
    return subprocess.run([binary, "--gtest_filter=" + pattern], env=env).returncode


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tests", required=True)
    args = ap.parse_args()
    sandbox.need("nginx", "openssl", "ip", "unshare", "mount")
    sandbox.enter()

    box = sandbox.Sandbox()
    failures = 0
    try:
        untrusted = box.issue_cert(box.make_ca("untrusted CA"), HOST, "untrusted")
        gbk = box.write("gbk.txt", b'{"location":"' + GBK_LOCATION + b'", "titlecont":"IP"}', mode="wb")

        socketserver.ThreadingTCPServer.allow_reuse_address = True
        backend = socketserver.ThreadingTCPServer(("127.0.0.1", 8081), Backend)
        backend.daemon_threads = True
        threading.Thread(target=backend.serve_forever, daemon=True).start()

        server = SERVER % {"path": PATH, "host": HOST, "gbk": gbk}
        nginx, access_log, ca = box.location_service(server)
        env = dict(os.environ, DNSBATCH_E2E_ACCESS_LOG=access_log, DNSBATCH_E2E_GBK_LOCATION=GBK_LOCATION.hex())
        failures += run_tests(args.tests, "LocationServed.*", env) != 0
        box.stop(nginx)

        nginx, _ = box.start_nginx(untrusted, server, name="nginx-untrusted")
        failures += run_tests(args.tests, "LocationUntrusted.*", env) != 0
        box.stop(nginx)

        nginx, _ = box.start_nginx(box.issue_cert(ca, "other.example", "wrong-name"), server, name="nginx-wrong-name")
        failures += run_tests(args.tests, "LocationWrongName.*", env) != 0
        box.stop(nginx)

        failures += run_tests(args.tests, "LocationNothingListening.*", env) != 0

        silent = sandbox.silent_listener(443)
        failures += run_tests(args.tests, "LocationSilentServer.*", env) != 0
        silent.close()
        backend.shutdown()
    finally:
        box.close()
    print("location end-to-end: %d arrangement(s) failed" % failures)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
