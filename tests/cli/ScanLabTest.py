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
PREFIX = "vtscan%d" % os.getpid()
PC_ADDRESS, PC_MAC = "10.77.0.2", "02:77:00:00:00:02"  # the computer finds itself too
ROUTER = ("10.77.0.250", "02:77:00:00:00:FA")  # locally administered: no registrant
failures = []


def lab(*args, check=True, capture=False):
    return subprocess.run([LAB, "--prefix", PREFIX, *args], check=check, text=True,
                          stdout=subprocess.PIPE if capture else None)


def devices():
    """The lab's devices: ip -> (mac, description, maker, pings)."""
    out = {}
    with open(os.path.join(ROOT, "tools", "lab.devices")) as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            name, ip, mac, _host, flags, expect = line.rstrip("\n").split("|")
            out[ip] = (mac, expect, mac.startswith("0A:C5:D2:E"), "noping" not in flags)
    return out


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
    lab_devices = devices()
    try:
        lab("up")
        for method in methods:
            expected = {ip: (mac, desc, maker) for ip, (mac, desc, maker, pings) in lab_devices.items()
                        if pings or method == "arp"}
            expected[ROUTER[0]] = (ROUTER[1], "", False)
            expected[PC_ADDRESS] = (PC_MAC, "", False)
            check("%s sweep of the /24 lists exactly the lab" % method,
                  scan(scanner, "--method", method, "--pace", "2", "10.77.0.1"), expected)

        # Beyond the router: answers without a MAC, each its own row; the router's
        # "unreachable" for the silent addresses is no answer.
        check("ping sweep of the routed subnet",
              scan(scanner, "--method", "ping", "--pace", "2", "--count", "20", "10.78.0.1"),
              {"10.78.0.1": ("", "", False), "10.78.0.10": ("", "", False)})
        check("nothing answers where the router declares the net unreachable",
              scan(scanner, "--method", "ping", "--pace", "2", "--count", "5", "10.78.1.1"), {})

        # New devices since an earlier run.
        with tempfile.NamedTemporaryFile("w+", suffix=".json") as earlier:
            lab("exec", "ip", "neigh", "flush", "all")
            first = lab("exec", scanner, "--format", "json", "--pace", "2", "10.77.0.1", capture=True).stdout
            earlier.write(first)
            earlier.flush()
            lab("add-device", "newcam", "10.77.0.40", "0A:C5:D2:E1:00:40")
            check("--new-since reports exactly the added device",
                  scan(scanner, "--pace", "2", "--new-since", earlier.name, "10.77.0.1"),
                  {"10.77.0.40": ("0A:C5:D2:E1:00:40", "** Sendora **", True)})
    finally:
        lab("down", check=False)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
