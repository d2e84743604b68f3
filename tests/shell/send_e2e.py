#!/usr/bin/python3
"""Runs send_e2e_tests (the real window, offscreen) inside a private network
and mount namespace: port 53 is free to listen on there, /etc/hosts maps
dns.test to 127.0.0.1, and, where the kernel allows it, 255.255.255.255 is
routed to the loopback interface so that a broadcast query can be heard.

    send_e2e.py --tests PATH/send_e2e_tests
"""
import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import sandbox  # noqa: E402


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tests", required=True)
    args, rest = ap.parse_known_args()
    sandbox.need("ip", "unshare", "mount")
    sandbox.enter()
    box = sandbox.Sandbox()
    try:
        box.hosts("dns.test")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        if subprocess.run(["ip", "route", "add", "broadcast", "255.255.255.255", "dev", "lo", "table", "local",
                           "src", "127.0.0.1"]).returncode == 0:
            env["DNSBATCH_E2E_BROADCAST"] = "1"
        sys.exit(subprocess.run([args.tests] + rest, env=env).returncode)
    finally:
        box.close()


if __name__ == "__main__":
    main()
