#!/usr/bin/python3
"""Runs bench_location against nginx serving iplocation.example in a private
network and mount namespace (the same arrangement as the end-to-end test).

    bench/location_bench.py build/release/bench/bench_location [benchmark flags]
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import sandbox  # noqa: E402

SERVER = r"""
        location / {
            return 200 'op_aladdin_callback({"status":"0","data":[{"location":"LOC-$arg_query", "titlecont":"IP"}]})';
        }
"""


def main():
    sandbox.need("nginx", "openssl")
    sandbox.enter()
    box = sandbox.Sandbox()
    try:
        box.location_service(SERVER)
        sys.exit(subprocess.run(sys.argv[1:]).returncode)
    finally:
        box.close()


if __name__ == "__main__":
    main()
