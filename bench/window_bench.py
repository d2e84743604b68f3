#!/usr/bin/python3
"""Runs bench_window (the real window, offscreen) in a private network and
mount namespace with nsd serving bulk0.test.example ... and nginx as the
location service at iplocation.example; then Debian's adnshost resolves the
same list against the same server, as the peer.

    bench/window_bench.py build/release/bench/bench_window [NAMES]
"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "support"))
sys.path.insert(0, HERE)
import sandbox  # noqa: E402
import burst_bench  # noqa: E402

SERVER = r"""
        location / {
            return 200 'op_aladdin_callback({"status":"0","data":[{"location":"LOC $arg_query", "titlecont":"IP"}]})';
        }
"""


def main():
    binary, names = sys.argv[1], (sys.argv[2] if len(sys.argv) > 2 else "10000")
    sandbox.need("nsd", "nginx", "openssl")
    sandbox.enter()
    box = sandbox.Sandbox()
    try:
        box.hosts("iplocation.example")
        ca = box.make_ca("bench CA")
        box.trust_only(ca)
        sandbox.start_nsd(box, {"test.example.": burst_bench.zone()})
        box.start_nginx(box.issue_cert(ca, "iplocation.example", "server"), SERVER)
        code = subprocess.run([binary, names]).returncode
        if sandbox.shutil.which("adnshost"):
            burst_bench.adnshost(int(names))  # the peer, against the same server
        sys.exit(code)
    finally:
        box.close()


if __name__ == "__main__":
    main()
