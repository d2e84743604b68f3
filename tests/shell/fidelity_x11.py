#!/usr/bin/python3
"""Runs fidelity_x11_tests under a real X server: Debian's Xvfb on a free
display, no window manager (so no frame), fonts as installed.

    fidelity_x11.py --tests PATH/fidelity_x11_tests
"""
import argparse
import os
import shutil
import subprocess
import sys
import time


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tests", required=True)
    args = ap.parse_args()
    if not shutil.which("Xvfb"):
        print("SKIP: Xvfb is not installed")
        sys.exit(77)
    for display in range(90, 120):
        if not os.path.exists("/tmp/.X11-unix/X%d" % display) and not os.path.exists("/tmp/.X%d-lock" % display):
            break
    server = subprocess.Popen(["Xvfb", ":%d" % display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        for _ in range(100):
            if os.path.exists("/tmp/.X11-unix/X%d" % display):
                break
            time.sleep(0.05)
        env = dict(os.environ, DISPLAY=":%d" % display, QT_QPA_PLATFORM="xcb")
        sys.exit(subprocess.run([args.tests], env=env).returncode)
    finally:
        server.terminate()
        server.wait()


if __name__ == "__main__":
    main()
