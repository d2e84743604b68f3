#!/usr/bin/python3
"""Runs bench_window (the real window, offscreen) in a private network and
mount namespace with nsd serving bulk0.test.example ... and nginx as the
location service at iplocation.example; then Debian's adnshost resolves the
same list against the same server, as the peer. Where tcpdump is installed
it counts the replies that reach port 19730 on its own, and the kernel's
per-socket drop counters show what nsd and we dropped.

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
        sandbox.start_nsd(box, {"test.example.": burst_bench.zone()})
        box.location_service(SERVER)
        capture = None
        if sandbox.shutil.which("tcpdump"):
            # An independent count of the replies that reach port 19730.
            capture = box.start(["tcpdump", "-q", "-n", "-i", "lo", "-w", box.path("replies.pcap"),
                                 "udp and dst port 19730"], stderr=subprocess.DEVNULL)
            import time
            time.sleep(1)
        code = subprocess.run([binary, names]).returncode
        if capture:
            box.stop(capture)
            counted = subprocess.run(["tcpdump", "-n", "-r", box.path("replies.pcap")], capture_output=True,
                                     text=True).stdout.count("\n")
            print("captured_replies_to_19730=%d" % counted)
        # Per-socket drop counters of this namespace: nsd's (port 53) and ours.
        with open("/proc/net/udp") as udp:
            for line in udp.readlines()[1:]:
                fields = line.split()
                port = int(fields[1].split(":")[1], 16)
                if port in (53, 19730):
                    print("socket_port=%d kernel_drops=%s" % (port, fields[-1]))
        if sandbox.shutil.which("adnshost"):
            burst_bench.adnshost(int(names))  # the peer, against the same server
        sys.exit(code)
    finally:
        box.close()


if __name__ == "__main__":
    main()
