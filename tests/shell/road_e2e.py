#!/usr/bin/python3
"""The whole road end to end: runs road_e2e_tests (the real window,
offscreen) inside a private network and mount namespace with Debian's nsd
on 127.0.0.1:53 serving test.example and nginx on 127.0.0.1:443 as the
location service at iplocation.example (certificate from a CA made here;
/etc/hosts and the CA bundle bind-mounted). Then again with the location
service stopped, and with one that accepts connections and never answers.

    road_e2e.py --tests PATH/road_e2e_tests
"""
import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import sandbox  # noqa: E402


def gbk(text):
    """GBK bytes, as a latin-1 string for the zone and nginx files."""
    return text.encode("gbk").decode("latin-1")


ZONE = r"""$ORIGIN test.example.
$TTL 300
@       IN SOA ns1 hostmaster 1 3600 900 604800 300
@       IN NS  ns1
ns1     IN A   127.0.0.1
multi   IN A   192.0.2.1
multi   IN A   192.0.2.2
multi   IN A   192.0.2.3
alias   IN CNAME target
target  IN A   192.0.2.4
v6only  IN AAAA 2001:db8::1
\214\208\206\196 IN A 192.0.2.5
""" + "".join("bulk%d IN A 10.0.%d.%d\n" % (i, i // 250, i % 250 + 1) for i in range(1000))

LOCATIONS = {"192.0.2.1": "北京市 联通", "192.0.2.2": "上海市 电信", "192.0.2.3": "广东省深圳市",
             "192.0.2.4": "LOC-4", "192.0.2.5": "中国"}

HTTP_EXTRA = "    map $arg_query $location {\n        default \"\";\n" + "".join(
    "        %s \"%s\";\n" % (address, gbk(text)) for address, text in LOCATIONS.items()) + "    }\n"

SERVER = r"""
        location = /7xXHrzrkJMZ6nydnqleM7AKd/api.php {
            return 200 'op_aladdin_callback({"status":"0","data":[{"location":"$location", "titlecont":"IP"}]})';
        }
"""


def run(binary, pattern):
    print("== %s" % pattern, flush=True)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    return subprocess.run([binary, "--gtest_filter=" + pattern], env=env).returncode


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tests", required=True)
    args = ap.parse_args()
    sandbox.need("nsd", "nginx", "openssl", "ip", "unshare", "mount")
    sandbox.enter()
    box = sandbox.Sandbox()
    failures = 0
    try:
        sandbox.start_nsd(box, {"test.example.": ZONE})
        nginx, _, _ = box.location_service(SERVER, http_extra=HTTP_EXTRA)
        failures += run(args.tests, "Road.ListToRowsToTheExportFile:Road.CraftedDatagramsGiveExactlyTheirRows:"
                                    "Road.ServerAbsentThenALateReplyStillArrives") != 0

        print("-- the executable's folder read-only", flush=True)
        folder = os.path.dirname(os.path.abspath(args.tests))
        subprocess.run(["mount", "--bind", folder, folder], check=True)
        subprocess.run(["mount", "-o", "remount,bind,ro", folder, folder], check=True)
        failures += run(args.tests, "Road.ExportIntoAReadOnlyFolderLeavesNothingAndGoesOn") != 0
        subprocess.run(["umount", folder], check=True)
        box.stop(nginx)

        print("-- location service stopped", flush=True)
        failures += run(args.tests, "Road.ThousandNamesWithTheLocationServiceDown") != 0

        print("-- location service accepts and never answers", flush=True)
        silent = sandbox.silent_listener(443)
        failures += run(args.tests, "Road.ThousandNamesWithTheLocationServiceDown") != 0
        silent.close()
    finally:
        box.close()
    print("whole road end-to-end: %d run(s) failed" % failures)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
