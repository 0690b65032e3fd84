#!/usr/bin/python3
"""Small probes for the lab's self-checks, run inside a lab namespace by tools/lab.

  lab-probe.py ping [-w MS] ADDR...          one ICMP echo each, on a datagram socket
  lab-probe.py dns NAME [TYPE] [SERVER]      one DNS query over UDP, answers printed
  lab-probe.py http ADDR [PORT] [PATH]       GET, prints the status and the page title

Only the standard library, and never a proxy: these run inside namespaces that
have no way out, so anything taken from the caller's environment would only hang.
It refuses to send anything unless it runs on a machine of a lab (labtopology.inside_lab).
Exit codes: 0 answered, 1 no answer (timeout), 2 a negative answer (ICMP error,
DNS error code), 3 usage or local error; with several addresses, the worst.
"""

import errno
import http.client
import os
import random
import re
import select
import socket
import struct
import sys
import time

import labtopology

IP_RECVERR = 11
MSG_ERRQUEUE = 0x2000
SO_EE_ORIGIN_ICMP = 2


def ping(addr, timeout_ms=1000):
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM, socket.IPPROTO_ICMP)
    s.setsockopt(socket.SOL_IP, IP_RECVERR, 1)
    s.connect((addr, 0))
    seq = 1
    # On veth the whole round trip often completes inside send(): start the clock before it.
    start = time.monotonic()
    # The kernel fills in the identifier and the checksum of a datagram ICMP socket.
    s.send(struct.pack("!BBHHH", 8, 0, 0, 0, seq) + b"vantrel-lab")
    deadline = start + timeout_ms / 1000.0
    poller = select.poll()
    poller.register(s, select.POLLIN | select.POLLERR)
    while True:
        left = deadline - time.monotonic()
        if left <= 0:
            print(f"{addr}: timeout after {timeout_ms} ms")
            return 1
        for _fd, ev in poller.poll(left * 1000):
            elapsed = (time.monotonic() - start) * 1000
            if ev & select.POLLERR:
                _data, anc, _flags, _src = s.recvmsg(512, 512, MSG_ERRQUEUE)
                for level, typ, data in anc:
                    if level == socket.SOL_IP and typ == IP_RECVERR:
                        ee_errno, origin, itype, icode = struct.unpack_from("=IBBB", data)
                        offender = socket.inet_ntoa(data[20:24]) if len(data) >= 24 else "?"
                        if origin == SO_EE_ORIGIN_ICMP:
                            print(f"{addr}: icmp type {itype} code {icode} from {offender} "
                                  f"({os.strerror(ee_errno)}) in {elapsed:.3f} ms")
                        else:
                            print(f"{addr}: {os.strerror(ee_errno)} in {elapsed:.3f} ms")
                        return 2
                print(f"{addr}: error without detail in {elapsed:.3f} ms")
                return 2
            if ev & select.POLLIN:
                reply = s.recv(1500)
                if len(reply) >= 8 and reply[0] == 0 and struct.unpack_from("!H", reply, 6)[0] == seq:
                    print(f"{addr}: reply in {elapsed:.3f} ms")
                    return 0


QTYPES = {"A": 1, "NS": 2, "CNAME": 5, "PTR": 12, "MX": 15, "TXT": 16, "AAAA": 28, "ANY": 255}
RCODES = {0: "NOERROR", 1: "FORMERR", 2: "SERVFAIL", 3: "NXDOMAIN", 4: "NOTIMP", 5: "REFUSED"}


def _read_name(msg, off):
    labels = []
    jumped = False
    end = off
    for _ in range(128):
        n = msg[off]
        if n & 0xC0 == 0xC0:
            if not jumped:
                end = off + 2
            off = ((n & 0x3F) << 8) | msg[off + 1]
            jumped = True
            continue
        off += 1
        if n == 0:
            break
        labels.append(msg[off:off + n].decode("ascii", "replace"))
        off += n
    if not jumped:
        end = off
    return ".".join(labels), end


def _resolv_server():
    try:
        with open("/etc/resolv.conf") as f:
            for line in f:
                parts = line.split()
                if len(parts) >= 2 and parts[0] == "nameserver":
                    return parts[1]
    except OSError:
        pass
    return None


def dns(name, qtype="A", server=None):
    server = server or _resolv_server()
    if not server:
        print("no nameserver in /etc/resolv.conf")
        return 3
    if qtype.upper() == "PTR" and re.fullmatch(r"[0-9.]+", name):
        name = ".".join(reversed(name.split("."))) + ".in-addr.arpa"
    qid = random.randrange(65536)
    q = struct.pack("!HHHHHH", qid, 0x0100, 1, 0, 0, 0)
    for label in name.rstrip(".").split("."):
        q += bytes([len(label)]) + label.encode("ascii")
    q += b"\0" + struct.pack("!HH", QTYPES[qtype.upper()], 1)
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.settimeout(2.0)
    try:
        s.connect((server, 53))
        s.send(q)
        msg = s.recv(4096)
    except socket.timeout:
        print(f"{name}: no answer from {server}")
        return 1
    except OSError as e:
        print(f"{name}: {e.strerror} talking to {server}")
        return 2
    rid, flags, qd, an, _ns, _ar = struct.unpack_from("!HHHHHH", msg)
    if rid != qid:
        print(f"{name}: reply with a wrong id")
        return 3
    rcode = flags & 0xF
    off = 12
    for _ in range(qd):
        _n, off = _read_name(msg, off)
        off += 4
    names = {v: k for k, v in QTYPES.items()}
    for _ in range(an):
        rname, off = _read_name(msg, off)
        rtype, _rclass, ttl, rdlen = struct.unpack_from("!HHIH", msg, off)
        off += 10
        rdata = msg[off:off + rdlen]
        if rtype == 1:
            value = socket.inet_ntoa(rdata)
        elif rtype in (2, 5, 12):
            value, _ = _read_name(msg, off)
        else:
            value = rdata.hex()
        off += rdlen
        print(f"{rname} {ttl} {names.get(rtype, rtype)} {value}")
    if rcode != 0 or an == 0:
        print(f"{name}: {RCODES.get(rcode, rcode)}, {an} answers")
        return 2
    return 0


def http_get(addr, port=80, path="/"):
    conn = http.client.HTTPConnection(addr, port, timeout=2.0)
    try:
        conn.request("GET", path)
        resp = conn.getresponse()
        body = resp.read(65536).decode("utf-8", "replace")
    except OSError as e:
        print(f"{addr}:{port}: {e.strerror or e}")
        return 1
    m = re.search(r"<title>(.*?)</title>", body, re.S | re.I)
    print(f"{resp.status} {m.group(1).strip() if m else ''}")
    return 0 if resp.status == 200 else 2


def main(argv):
    if argv and argv[0] in ("ping", "dns", "http"):
        refusal = labtopology.inside_lab()
        if refusal:
            print(f"lab-probe.py: not on a machine of a lab ({refusal}); nothing sent", file=sys.stderr)
            return 3
    try:
        if len(argv) >= 2 and argv[0] == "ping":
            args, timeout_ms = argv[1:], 1000
            if len(args) >= 2 and args[0] == "-w":
                timeout_ms, args = int(args[1]), args[2:]
            return max([ping(a, timeout_ms) for a in args] or [3])
        if len(argv) >= 2 and argv[0] == "dns":
            return dns(argv[1], argv[2] if len(argv) > 2 else "A", argv[3] if len(argv) > 3 else None)
        if len(argv) >= 2 and argv[0] == "http":
            return http_get(argv[1], int(argv[2]) if len(argv) > 2 else 80, argv[3] if len(argv) > 3 else "/")
    except OSError as e:
        print(f"{' '.join(argv)}: {e.strerror or e}", file=sys.stderr)
        return 2 if e.errno in (errno.EHOSTUNREACH, errno.ENETUNREACH, errno.ECONNREFUSED) else 3
    except (KeyError, ValueError) as e:
        print(f"bad argument: {e}", file=sys.stderr)
        return 3
    print("usage:\n" + "\n".join(__doc__.strip().splitlines()[2:5]), file=sys.stderr)
    return 3


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
