"""A private network and mount namespace for end-to-end tests.

Tests that talk to real servers (nsd, nginx) run inside their own network
namespace, where 127.0.0.1 is theirs alone, and their own mount namespace,
where /etc/hosts and the CA bundle can be replaced by bind mounts without
touching the machine. As root this is `unshare -mn`; as an ordinary user
`unshare -rmn` where the kernel allows it. Where neither works, the test is
skipped (exit code 77, which CTest reports as skipped) with a message.
"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

SKIP = 77
CA_BUNDLE = "/etc/ssl/certs/ca-certificates.crt"


def enter(argv=None):
    """Re-runs this script inside a fresh namespace; returns once inside."""
    if os.environ.get("DNSBATCH_IN_SANDBOX") == "1":
        subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
        return
    argv = sys.argv if argv is None else argv
    tries = [["unshare", "-mn"], ["unshare", "-rmn"]] if os.geteuid() == 0 else [["unshare", "-rmn"]]
    for prefix in tries:
        if subprocess.run(prefix + ["true"], stderr=subprocess.DEVNULL).returncode == 0:
            env = dict(os.environ, DNSBATCH_IN_SANDBOX="1")
            sys.stdout.flush()
            os.execvpe(prefix[0], prefix + ["--", sys.executable] + argv, env)
    print("SKIP: cannot make a private network and mount namespace here "
          "(both 'unshare -mn' as root and 'unshare -rmn' were refused)")
    sys.exit(SKIP)


def need(*programs):
    missing = [p for p in programs if not shutil.which(p) and not os.path.exists(p)]
    if missing:
        print("SKIP: not installed: " + ", ".join(missing))
        sys.exit(SKIP)


class Sandbox:
    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="dnsbatch-e2e-")
        self.processes = []

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def write(self, name, content, mode="w"):
        path = self.path(name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, mode) as f:
            f.write(content)
        return path

    def bind_file(self, target, content):
        """Shows content at target, for this namespace only."""
        source = self.write("bind/" + target.strip("/").replace("/", "_"), content)
        subprocess.run(["mount", "--bind", source, target], check=True)

    def hosts(self, *names):
        self.bind_file("/etc/hosts", "127.0.0.1 localhost\n" + "".join("127.0.0.1 %s\n" % n for n in names))

    # -- certificates -------------------------------------------------------
    def make_ca(self, name):
        key, cert = self.path(name + ".key"), self.path(name + ".pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                        "-nodes", "-keyout", key, "-out", cert, "-days", "2", "-subj", "/CN=" + name,
                        "-addext", "basicConstraints=critical,CA:TRUE",
                        "-addext", "keyUsage=critical,keyCertSign,cRLSign"],
                       check=True, capture_output=True)
        return key, cert

    def issue_cert(self, ca, host, name):
        ca_key, ca_cert = ca
        key, csr, cert = self.path(name + ".key"), self.path(name + ".csr"), self.path(name + ".pem")
        ext = self.write(name + ".ext", "subjectAltName=DNS:%s\nextendedKeyUsage=serverAuth\n" % host)
        subprocess.run(["openssl", "req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                        "-keyout", key, "-out", csr, "-subj", "/CN=" + host], check=True, capture_output=True)
        subprocess.run(["openssl", "x509", "-req", "-in", csr, "-CA", ca_cert, "-CAkey", ca_key, "-CAcreateserial",
                        "-days", "2", "-out", cert, "-extfile", ext], check=True, capture_output=True)
        return key, cert

    def trust_only(self, ca):
        """The system CA bundle, in this namespace, holds just this CA."""
        with open(ca[1]) as f:
            self.bind_file(CA_BUNDLE, f.read())

    # -- processes ----------------------------------------------------------
    def start(self, argv, **kwargs):
        process = subprocess.Popen(argv, **kwargs)
        self.processes.append(process)
        return process

    def stop(self, process):
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def close(self):
        for process in reversed(self.processes):
            self.stop(process)
        shutil.rmtree(self.dir, ignore_errors=True)

    def location_service(self, server_body, http_extra="", name="nginx"):
        """nginx as the location service: iplocation.example maps to
        127.0.0.1 in /etc/hosts, and its certificate comes from a CA made
        here that the CA bundle alone trusts. Returns (process, access log,
        the CA)."""
        self.hosts("iplocation.example")
        ca = self.make_ca("dnsbatch test CA")
        self.trust_only(ca)
        process, access_log = self.start_nginx(self.issue_cert(ca, "iplocation.example", name), server_body,
                                               name=name, http_extra=http_extra)
        return process, access_log, ca

    # -- nginx --------------------------------------------------------------
    def start_nginx(self, cert, server_body, name="nginx", http_extra=""):
        """nginx on 127.0.0.1:443 with one TLS server; returns (process, access log path).

        The configuration is written as latin-1, so that a text holding GBK
        bytes (decoded as latin-1) reaches nginx byte for byte."""
        root = self.path(name)
        os.makedirs(root, exist_ok=True)
        access_log = os.path.join(root, "access.log")
        conf = """
daemon off;
master_process on;
worker_processes 1;
user root root;
pid %(root)s/nginx.pid;
error_log %(root)s/error.log info;
events { worker_connections 256; }
http {
    client_body_temp_path %(root)s/body;
    proxy_temp_path %(root)s/proxy;
    fastcgi_temp_path %(root)s/fastcgi;
    uwsgi_temp_path %(root)s/uwsgi;
    scgi_temp_path %(root)s/scgi;
    log_format probe '$request\\t$server_protocol\\t$http_user_agent\\t$http_accept\\t$http_referer\\t$http_cookie\\t$connection\\t$connection_requests\\t$status';
    access_log %(root)s/access.log probe;
    keepalive_timeout 30s;
    keepalive_requests 100000;
    default_type application/octet-stream;
%(http_extra)s
    server {
        listen 127.0.0.1:443 ssl;
        server_name _;
        ssl_certificate %(cert)s;
        ssl_certificate_key %(key)s;
%(body)s
    }
}
""" % {"root": root, "cert": cert[1], "key": cert[0], "body": server_body, "http_extra": http_extra}
        conf_path = os.path.join(root, "nginx.conf")
        with open(conf_path, "w", encoding="latin-1") as f:
            f.write(conf)
        process = self.start(["nginx", "-e", os.path.join(root, "error.log"), "-p", root, "-c", conf_path])
        wait_for_port(443, process, os.path.join(root, "error.log"))
        return process, access_log


def silent_listener(port, host="127.0.0.1"):
    """A TCP port where connections complete in the kernel and are never
    answered: a server that has stopped talking. Close it when done."""
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((host, port))
    listener.listen(1024)
    return listener


def wait_for_port(port, process=None, log=None, host="127.0.0.1", timeout=10.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if process is not None and process.poll() is not None:
            break
        try:
            with socket.create_connection((host, port), timeout=0.2):
                return
        except OSError:
            time.sleep(0.05)
    detail = open(log).read() if log and os.path.exists(log) else ""
    raise RuntimeError("nothing came to listen on %s:%d\n%s" % (host, port, detail))


# -- nsd ----------------------------------------------------------------------
def start_nsd(box, zones, name="nsd"):
    """nsd on 127.0.0.1:53 serving zones, a dict of origin -> zone text."""
    root = box.path(name)
    os.makedirs(root, exist_ok=True)
    conf = ["server:",
            "    ip-address: 127.0.0.1",
            "    port: 53",
            "    username: \"\"",
            "    chroot: \"\"",
            "    zonesdir: \"%s\"" % root,
            "    zonelistfile: \"%s/zone.list\"" % root,
            "    xfrdfile: \"%s/xfrd.state\"" % root,
            "    xfrdir: \"%s\"" % root,
            "    pidfile: \"%s/nsd.pid\"" % root,
            "    logfile: \"%s/nsd.log\"" % root,
            "    database: \"\"",
            "    server-count: 1",
            "    verbosity: 1",
            "remote-control:",
            "    control-enable: no"]
    for origin, text in zones.items():
        zone_file = os.path.join(root, origin + "zone")
        with open(zone_file, "w", encoding="latin-1") as f:
            f.write(text)
        conf += ["zone:", "    name: \"%s\"" % origin, "    zonefile: \"%s\"" % zone_file]
    conf_path = os.path.join(root, "nsd.conf")
    with open(conf_path, "w") as f:
        f.write("\n".join(conf) + "\n")
    process = box.start(["nsd", "-d", "-c", conf_path])
    wait_for_dns(process, os.path.join(root, "nsd.log"), next(iter(zones)))
    return process


def wait_for_dns(process, log, origin, timeout=10.0):
    """Waits until 127.0.0.1:53 answers a query for the SOA of origin."""
    labels = b"".join(bytes([len(l)]) + l.encode() for l in origin.strip(".").split("."))
    query = b"\x12\x34\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00" + labels + b"\x00\x00\x06\x00\x01"
    deadline = time.monotonic() + timeout
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.settimeout(0.2)
        while time.monotonic() < deadline and process.poll() is None:
            try:
                s.sendto(query, ("127.0.0.1", 53))
                if s.recv(4096)[:2] == b"\x12\x34":
                    return
            except OSError:
                time.sleep(0.05)
    detail = open(log).read() if os.path.exists(log) else ""
    raise RuntimeError("nsd did not answer\n" + detail)
