#!/usr/bin/python3
"""The query burst against Debian's nsd on 127.0.0.1:53, in a private network
and mount namespace: paced (as shipped) and unpaced, side by side, and
Debian's adnshost resolving the same list against the same server.

    bench/burst_bench.py build/release/bench/bench_burst [NAMES ...]
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import sandbox  # noqa: E402

MOST = 100000


def zone():
    lines = ["$ORIGIN test.example.", "$TTL 300", "@ IN SOA ns1 hostmaster 1 3600 900 604800 300", "@ IN NS ns1",
             "ns1 IN A 127.0.0.1"]
    lines += ["bulk%d IN A 10.%d.%d.%d" % (i, i >> 16, (i >> 8) & 255, i & 255) for i in range(MOST)]
    return "\n".join(lines) + "\n"


def adnshost(names):
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
        f.write("".join("bulk%d.test.example\n" % i for i in range(names)))
        path = f.name
    start = time.monotonic()
    with open(path) as stdin:
        out = subprocess.run(["adnshost", "--config", "nameserver 127.0.0.1", "-a", "-Fi", "-f"], stdin=stdin,
                             capture_output=True, text=True).stdout
    seconds = time.monotonic() - start
    os.unlink(path)
    answered = sum(1 for line in out.splitlines() if " A INET " in line)
    print("adnshost names=%d answered=%d share=%.4f%% all_s=%.3f" % (names, answered, 100.0 * answered / names, seconds),
          flush=True)


def main():
    binary = sys.argv[1]
    counts = [int(n) for n in sys.argv[2:]] or [10000, 100000]
    sandbox.need("nsd", "adnshost")
    sandbox.enter()
    box = sandbox.Sandbox()
    try:
        sandbox.start_nsd(box, {"test.example.": zone()})
        for names in counts:
            for window, wait in ((200, 250), (0, 250)):
                subprocess.run([binary, str(names), str(window), str(wait)], check=True)
            adnshost(names)
    finally:
        box.close()


if __name__ == "__main__":
    main()
