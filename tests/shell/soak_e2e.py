#!/usr/bin/python3
"""Runs soak_e2e_tests (the real window, offscreen) in a private network and
mount namespace, where port 19730 is its own and iplocation.example does not
resolve (the location service is down).

    soak_e2e.py --tests PATH/soak_e2e_tests      (DNSBATCH_SOAK_DATAGRAMS=N)
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
    args = ap.parse_args()
    sandbox.need("ip", "unshare", "mount")
    sandbox.enter()
    box = sandbox.Sandbox()
    try:
        box.hosts()
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        sys.exit(subprocess.run([args.tests], env=env).returncode)
    finally:
        box.close()


if __name__ == "__main__":
    main()
