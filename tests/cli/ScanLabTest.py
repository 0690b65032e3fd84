#!/usr/bin/env python3
"""End-to-end sweeps through vantrel-scan in a lab of the test's own.

Every sweep runs on the lab's installer's computer (tools/lab exec), never in
the host namespace. Needs root; exits 77 (skipped) otherwise.
usage: scan_lab_test.py VANTREL_SCAN [METHOD...]
"""
import json
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
LAB = os.path.join(ROOT, "tools", "lab")
sys.path.insert(0, os.path.join(ROOT, "tools"))
import labtopology  # noqa: E402

PREFIX = "vtscan%d" % os.getpid()
TOPOLOGY = labtopology.load()
failures = []


def lab(*args, check=True, capture=False):
    return subprocess.run([LAB, "--prefix", PREFIX, *args], check=check, text=True,
                          stdout=subprocess.PIPE if capture else None)


def scan(scanner, *args):
    lab("exec", "ip", "neigh", "flush", "all")  # no warm cache: every answer is a real probe
    result = lab("exec", scanner, "--format", "json", *args, capture=True)
    return {d["ip"]: (d["mac"], d["description"], d["maker"]) for d in json.loads(result.stdout)}


def check(what, got, expected):
    if got == expected:
        print("ok    " + what)
    else:
        failures.append(what)
        print("FAIL  %s\n      got      %s\n      expected %s" % (what, sorted(got.items()), sorted(expected.items())))


def main():
    if os.geteuid() != 0:
        print("SKIP: lab tests need root")
        return 77
    scanner = sys.argv[1]
    methods = sys.argv[2:] or ["ping", "arp"]
    pc, router, start = TOPOLOGY.computer["eth0"], TOPOLOGY.router, TOPOLOGY.first_address
    try:
        lab("up")
        for method in methods:
            expected = {d["ip"]: (d["mac"], d["expect"], d["maker"]) for d in TOPOLOGY.devices
                        if not d["ignores_ping"] or method == "arp"}
            # Locally administered: no registrant. The computer finds itself too.
            expected[router["lan"]["address"]] = (router["lan"]["mac"], "", False)
            expected[pc["address"]] = (pc["mac"], "", False)
            check("%s sweep of the /24 lists exactly the lab" % method,
                  scan(scanner, "--method", method, "--pace", "2", start), expected)

        # Beyond the router: answers without a MAC, each its own row; the router's
        # "unreachable" for the silent addresses is no answer.
        far = TOPOLOGY.far["eth0"]["address"]
        check("ping sweep of the routed subnet",
              scan(scanner, "--method", "ping", "--pace", "2", "--count", "20", str(next(TOPOLOGY.far_subnet.hosts()))),
              {router["wan"]["address"]: ("", "", False), far: ("", "", False)})
        check("nothing answers where the router declares the net unreachable",
              scan(scanner, "--method", "ping", "--pace", "2", "--count", "5", TOPOLOGY.unreachable_address), {})

        # New devices since an earlier run.
        with tempfile.NamedTemporaryFile("w+", suffix=".json") as earlier:
            lab("exec", "ip", "neigh", "flush", "all")
            first = lab("exec", scanner, "--format", "json", "--pace", "2", start, capture=True).stdout
            earlier.write(first)
            earlier.flush()
            newcam = str(TOPOLOGY.subnet.network_address + 40)  # on the subnet, no machine of the topology
            lab("add-device", "newcam", newcam, "0A:C5:D2:E1:00:40")
            check("--new-since reports exactly the added device",
                  scan(scanner, "--pace", "2", "--new-since", earlier.name, start),
                  {newcam: ("0A:C5:D2:E1:00:40", "** Sendora **", True)})
    finally:
        lab("down", check=False)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
