#!/usr/bin/python3
"""Differential test of our response decoder against dnspython.

Builds random well-formed replies with dnspython's renderer (compression on,
names with bytes of 80 hex and above, A, AAAA, CNAME, MX, TXT and unknown
types, all four sections), walks each one with dnspython's own wire parser to
get the expected fields, and compares them with what our decoder prints for
the same bytes. Record data are compared as the exact bytes dnspython wrote
for the record. Replay a failure with --seed.
"""
import argparse
import random
import subprocess
import sys

try:
    import dns.name
    import dns.rdata
    import dns.rdataclass
    import dns.rdataset
    import dns.rdatatype
    import dns.renderer
    import dns.rrset
    import dns.wire
    from dns.rdtypes.ANY.CNAME import CNAME
    from dns.rdtypes.ANY.MX import MX
    from dns.rdtypes.ANY.TXT import TXT
    from dns.rdtypes.IN.A import A
    from dns.rdtypes.IN.AAAA import AAAA
except ImportError:
    print("SKIP: python3-dnspython is not installed")
    sys.exit(77)

IN = dns.rdataclass.IN


def signed16(value):
    return value - 0x10000 if value & 0x8000 else value


def signed32(value):
    return value - 0x100000000 if value & 0x80000000 else value


def random_label(rng):
    kind = rng.random()
    size = rng.randint(1, 20)
    if kind < 0.4:
        return bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-") for _ in range(size))
    if kind < 0.8:
        # GBK-like: pairs of bytes of 80 hex and above, now and then ASCII.
        return bytes(rng.randint(0x81, 0xFE) if rng.random() < 0.8 else rng.randint(0x21, 0x7E) for _ in range(size))
    return bytes(rng.randint(0, 255) for _ in range(size))  # anything, 00 and 2E included


def random_name(rng, pool):
    if pool and rng.random() < 0.6:
        base = rng.choice(pool)
        labels = tuple(random_label(rng) for _ in range(rng.randint(0, 2))) + base.labels
    else:
        labels = tuple(random_label(rng) for _ in range(rng.randint(0, 5))) + (b"",)
    try:
        name = dns.name.Name(labels)
    except (dns.name.NameTooLong, dns.name.LabelTooLong):
        name = dns.name.root
    pool.append(name)
    return name


def random_rdataset(rng, pool):
    kind = rng.choice(["A", "AAAA", "CNAME", "MX", "TXT", "unknown"])
    if kind == "A":
        rdclass, rdtype = IN, dns.rdatatype.A
        make = lambda: A(IN, rdtype, "%d.%d.%d.%d" % tuple(rng.randint(0, 255) for _ in range(4)))
    elif kind == "AAAA":
        rdclass, rdtype = IN, dns.rdatatype.AAAA
        make = lambda: AAAA(IN, rdtype, ":".join("%x" % rng.randint(0, 0xFFFF) for _ in range(8)))
    elif kind == "CNAME":
        rdclass, rdtype = IN, dns.rdatatype.CNAME
        make = lambda: CNAME(IN, rdtype, random_name(rng, pool))
    elif kind == "MX":
        rdclass, rdtype = IN, dns.rdatatype.MX
        make = lambda: MX(IN, rdtype, rng.randint(0, 0xFFFF), random_name(rng, pool))
    elif kind == "TXT":
        rdclass, rdtype = IN, dns.rdatatype.TXT
        make = lambda: TXT(IN, rdtype, [bytes(rng.randint(0, 255) for _ in range(rng.randint(0, 40)))
                                        for _ in range(rng.randint(1, 3))])
    else:
        rdtype = rng.choice([rng.randint(300, 32000), rng.randint(0xFF00, 0xFFFE)])
        rdclass = rng.choice([IN, IN, 3, 4, rng.randint(0xFF00, 0xFFFE)])
        make = lambda: dns.rdata.GenericRdata(rdclass, rdtype, bytes(rng.randint(0, 255) for _ in range(rng.randint(0, 60))))
    rdataset = dns.rdataset.Rdataset(rdclass, rdtype)
    rdataset.update_ttl(rng.choice([0, 300, rng.randint(0, 0xFFFFFFFF)]))
    for _ in range(rng.randint(1, 3)):
        rdataset.add(make())
    return rdataset


def random_message(rng):
    pool = []
    renderer = dns.renderer.Renderer(id=rng.randint(0, 0xFFFF), flags=rng.randint(0, 0xFFFF), max_size=65535)
    for _ in range(rng.choice([0, 1, 1, 1, 2, rng.randint(0, 30)])):
        renderer.add_question(random_name(rng, pool), rng.randint(0, 0xFFFF), rng.randint(0, 0xFFFF))
    for section in (dns.renderer.ANSWER, dns.renderer.AUTHORITY, dns.renderer.ADDITIONAL):
        for _ in range(rng.choice([0, 1, 2, rng.randint(0, 12)])):
            rdataset = random_rdataset(rng, pool)
            renderer.add_rdataset(section, random_name(rng, pool), rdataset)
    renderer.write_header()
    return renderer.get_wire()


def name_text(name):
    # Labels joined by full stops, each cut at its first 00 byte; the root
    # label contributes nothing.
    return b".".join(label.split(b"\0", 1)[0] for label in name.labels if label)


def expected_decoding(wire):
    """The canonical lines for one message, read with dnspython's parser."""
    parser = dns.wire.Parser(wire)
    ident, flags, qd, an, ns, ar = parser.get_struct("!HHHHHH")
    lines = ["H %d %d %d %d %d %d %d %d %d %d %d %d" % (
        signed16(ident), flags >> 15 & 1, flags >> 11 & 15, flags >> 10 & 1, flags >> 9 & 1, flags >> 8 & 1,
        flags >> 7 & 1, flags & 15, signed16(qd), signed16(an), signed16(ns), signed16(ar))]
    for _ in range(qd):
        name = parser.get_name()
        qtype, qclass = parser.get_struct("!HH")
        lines.append("Q %s %d %d" % (name_text(name).hex() or "-", signed16(qtype), signed16(qclass)))
    for tag, count in (("A", an), ("N", ns), ("R", ar)):
        for _ in range(count):
            name = parser.get_name()
            rdtype, rdclass, ttl, rdlen = parser.get_struct("!HHIH")
            start = parser.current
            with parser.restrict_to(rdlen):
                dns.rdata.from_wire_parser(rdclass, rdtype, parser)  # dnspython must accept its own record
            rdata = wire[start:start + rdlen]
            lines.append("%s %s %d %d %d %d %s" % (tag, name_text(name).hex() or "-", signed16(rdtype),
                                                   signed16(rdclass), signed32(ttl), signed16(rdlen),
                                                   rdata.hex() or "-"))
    assert parser.remaining() == 0
    lines.append(".")
    return lines


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--decoder", required=True)
    ap.add_argument("--count", type=int, default=10000)
    ap.add_argument("--seed", type=int)
    args = ap.parse_args()
    seed = args.seed if args.seed is not None else random.SystemRandom().randint(0, 2**32 - 1)
    print("seed %d (replay with --seed %d)" % (seed, seed), flush=True)
    rng = random.Random(seed)

    wires = []
    while len(wires) < args.count:
        try:
            wires.append(random_message(rng))
        except dns.exception.TooBig:
            continue
    expected = [expected_decoding(w) for w in wires]

    out = subprocess.run([args.decoder], input="".join(w.hex() + "\n" for w in wires),
                         capture_output=True, text=True, check=True).stdout.split("\n")
    actual, block = [], []
    for line in out:
        if not line:
            continue
        block.append(line)
        if line == ".":
            actual.append(block)
            block = []

    mismatches = 0
    for i, wire in enumerate(wires):
        got = actual[i] if i < len(actual) else ["<missing>"]
        if got != expected[i]:
            mismatches += 1
            if mismatches <= 5:
                print("MISMATCH in message %d: %s" % (i, wire.hex()))
                for a, b in zip(expected[i] + [""] * len(got), got + [""] * len(expected[i])):
                    if a != b:
                        print("  expected: %s\n  ours:     %s" % (a, b))
                        break
    if len(actual) != len(wires):
        print("decoder printed %d messages for %d" % (len(actual), len(wires)))
        mismatches += 1
    records = sum(len(e) - 2 for e in expected)
    print("%d messages (%d questions and records, %d bytes), %d mismatches, seed %d"
          % (len(wires), records, sum(map(len, wires)), mismatches, seed))
    sys.exit(1 if mismatches else 0)


if __name__ == "__main__":
    main()
