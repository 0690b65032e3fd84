#!/usr/bin/python3
"""The lab's topology, tools/lab-topology.json, for tools/lab and the Python helpers.

  labtopology.py shell      the topology as shell assignments (for eval in bash)
  labtopology.py get PATH   one value, e.g. computer.eth0.address or devices.0.name

As a module: load() gives the Topology, checked for consistency; inside_lab()
tells whether this process is on a machine of a lab. Standard library only.
"""

import ipaddress
import json
import os
import re
import shlex
import sys

PATH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lab-topology.json")
NAME = re.compile(r"[a-z][a-z0-9]{0,11}")
LAB_NAMESPACE = re.compile(r"[a-z][a-z0-9]{0,15}-[a-z0-9]+")
MAC = re.compile(r"[0-9A-F]{2}(:[0-9A-F]{2}){5}")


class TopologyError(Exception):
    pass


class Topology:
    def __init__(self, data):
        self.data = data
        self.computer = data["computer"]
        self.switch = data["switch"]
        self.router = data["router"]
        self.far = data["far"]
        self.dns = data["dns"]
        self.devices = data["devices"]
        self.unreachable_address = data["unreachable_address"]
        self.silent_address = data["silent_address"]
        eth0 = self.computer["eth0"]
        self.subnet = ipaddress.ip_network("%s/%d" % (eth0["address"], eth0["prefix"]), strict=False)
        wan = self.router["wan"]
        self.far_subnet = ipaddress.ip_network("%s/%d" % (wan["address"], wan["prefix"]), strict=False)
        self.first_address = str(next(self.subnet.hosts()))
        self.infrastructure = [self.switch, self.computer, self.router, self.far]
        self._check()

    def host_records(self, devices=None):
        """(name, address) of every machine with a hostname, which gets an A and a PTR record."""
        records = [(self.computer["hostname"], self.computer["eth0"]["address"]),
                   (self.router["hostname"], self.router["lan"]["address"]),
                   (self.far["hostname"], self.far["eth0"]["address"])]
        return records + [(d["hostname"], d["ip"]) for d in (devices or self.devices) if d.get("hostname")]

    def resolve(self, name):
        """(canonical name, address) the lab's DNS gives for name, or None."""
        cnames = {c["name"]: c["target"] for c in self.dns["cnames"]}
        for _ in range(len(cnames) + 1):
            if name not in cnames:
                break
            name = cnames[name]
        records = dict(self.host_records())
        records.update((a["name"], a["address"]) for a in self.dns["a_only"])
        return (name, records[name]) if name in records else None

    @staticmethod
    def flags(device):
        """"web", "noping", both ("web,noping") or "-"."""
        return ",".join(f for f, on in (("web", device["web"]), ("noping", device["ignores_ping"])) if on) or "-"

    def _check(self):
        def fail(why):
            raise TopologyError("%s: %s" % (PATH, why))

        spaces = [m["namespace"] for m in self.infrastructure] + [d["name"] for d in self.devices]
        for n in spaces:
            if not NAME.fullmatch(n):
                fail("bad namespace or device name %r" % n)
        if len(set(spaces)) != len(spaces):
            fail("two machines share a name")
        router_addresses = {self.router[leg]["address"] for leg in ("lan", "wan")}
        for m in (self.computer, self.far):
            if m["route"]["via"] not in router_addresses:
                fail("%s is routed through %s, no address of the router" % (m["namespace"], m["route"]["via"]))
        used = [self.computer["eth0"]["address"], self.router["lan"]["address"]]
        macs = [self.computer["eth0"]["mac"], self.computer["eth1"]["mac"], self.router["lan"]["mac"],
                self.router["wan"]["mac"], self.far["eth0"]["mac"]]
        for d in self.devices:
            if ipaddress.ip_address(d["ip"]) not in self.subnet:
                fail("device %s at %s is off the subnet %s" % (d["name"], d["ip"], self.subnet))
            if d["hostname"] and not d["hostname"].endswith("." + self.dns["domain"]):
                fail("device %s has a hostname outside %s" % (d["name"], self.dns["domain"]))
            if any("|" in str(v) for v in d.values()):
                fail("device %s has a '|' in a field" % d["name"])
            used.append(d["ip"])
            macs.append(d["mac"])
        if len(set(used)) != len(used):
            fail("two machines share an address on the subnet")
        if any(not MAC.fullmatch(m) or int(m[:2], 16) & 1 for m in macs) or len(set(macs)) != len(macs):
            fail("every MAC must be unicast, unique, upper case with colons")
        silent = ipaddress.ip_address(self.silent_address)
        if silent not in self.subnet or self.silent_address in used:
            fail("the silent address must be a free address of the subnet")
        unreachable = ipaddress.ip_address(self.unreachable_address)
        if unreachable not in ipaddress.ip_network(self.router["unreachable"]) or unreachable in self.far_subnet:
            fail("the unreachable address must be in the router's unreachable net, off its WAN subnet")
        for c in self.dns["cnames"]:
            if self.resolve(c["name"]) is None:
                fail("the alias %s leads nowhere" % c["name"])


_loaded = None


def load():
    global _loaded
    if _loaded is None:
        with open(PATH, encoding="utf-8") as f:
            _loaded = Topology(json.load(f))
    return _loaded


def inside_lab():
    """None when this process is on a machine of a lab (a namespace tools/lab made, no
    default route, an address of the lab), else the reason it is not."""
    try:
        here = os.stat("/proc/self/ns/net").st_ino
        spaces = [n for n in os.listdir("/run/netns") if LAB_NAMESPACE.fullmatch(n)]
        if not any(os.stat(os.path.join("/run/netns", n)).st_ino == here for n in spaces):
            return "this network namespace is none of a lab's"
    except OSError as e:
        return "cannot tell the network namespace: %s" % e

    import subprocess

    def ip(*args):
        out = subprocess.run(["ip", "-j", *args], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             check=True, text=True, env={"PATH": "/usr/sbin:/usr/bin:/sbin:/bin"}).stdout
        return json.loads(out or "[]")

    try:
        if ip("route", "show", "default"):
            return "there is a default route"
        lab = load()
        for link in ip("-4", "addr", "show"):
            for a in link.get("addr_info", []):
                if any(ipaddress.ip_address(a["local"]) in net for net in (lab.subnet, lab.far_subnet)):
                    return None
    except (OSError, subprocess.CalledProcessError, ValueError) as e:
        return "cannot look at the interfaces: %s" % e
    return "no interface has an address of the lab"


def shell(lab, devices=None):
    """Assignments for bash; devices as name|ip|mac|hostname|flags|title."""
    c, r, f = lab.computer, lab.router, lab.far
    values = {
        "SW_NS": lab.switch["namespace"], "BRIDGE": lab.switch["bridge"],
        "PC_NS": c["namespace"], "PC_IP": c["eth0"]["address"], "PC_PREFIX": c["eth0"]["prefix"],
        "PC_MAC": c["eth0"]["mac"], "PC_ETH1_IP": c["eth1"]["address"], "PC_ETH1_PREFIX": c["eth1"]["prefix"],
        "PC_ETH1_MAC": c["eth1"]["mac"], "PC_ROUTE_TO": c["route"]["to"], "PC_ROUTE_VIA": c["route"]["via"],
        "PING_GROUP_RANGE": c["ping_group_range"],
        "RT_NS": r["namespace"], "RT_LAN_IP": r["lan"]["address"], "RT_LAN_PREFIX": r["lan"]["prefix"],
        "RT_LAN_MAC": r["lan"]["mac"], "RT_WAN_IP": r["wan"]["address"], "RT_WAN_PREFIX": r["wan"]["prefix"],
        "RT_WAN_MAC": r["wan"]["mac"], "RT_UNREACHABLE": r["unreachable"],
        "FAR_NS": f["namespace"], "FAR_IP": f["eth0"]["address"], "FAR_PREFIX": f["eth0"]["prefix"],
        "FAR_MAC": f["eth0"]["mac"], "FAR_ROUTE_TO": f["route"]["to"], "FAR_ROUTE_VIA": f["route"]["via"],
        "SUBNET": lab.subnet, "FIRST_IP": lab.first_address,
        "UNREACHABLE_IP": lab.unreachable_address, "SILENT_IP": lab.silent_address, "DOMAIN": lab.dns["domain"],
    }
    arrays = {
        "INFRA": [m["namespace"] for m in lab.infrastructure],
        "DEVICES": ["|".join([d["name"], d["ip"], d["mac"], d["hostname"] or "-", lab.flags(d),
                              (d["web"] or {}).get("title", "-")]) for d in (devices or lab.devices)],
        "HOST_RECORDS": ["%s|%s" % r for r in lab.host_records()],
        "A_ONLY": ["%s|%s" % (a["name"], a["address"]) for a in lab.dns["a_only"]],
        "CNAMES": ["%s|%s|%s|%s" % (a["name"], a["target"], *lab.resolve(a["name"])) for a in lab.dns["cnames"]],
    }
    lines = ["%s=%s" % (k, shlex.quote(str(v))) for k, v in values.items()]
    lines += ["%s=(%s)" % (k, " ".join(shlex.quote(x) for x in v)) for k, v in arrays.items()]
    return "\n".join(lines) + "\n"


def main(argv):
    try:
        lab = load()
        if argv == ["shell"]:
            sys.stdout.write(shell(lab))
            return 0
        if len(argv) == 2 and argv[0] == "get":
            value = lab.data
            for key in argv[1].split("."):
                value = value[int(key)] if isinstance(value, list) else value[key]
            print(value if isinstance(value, str) else json.dumps(value))
            return 0
    except (OSError, ValueError, KeyError, IndexError, TopologyError) as e:
        print("labtopology: %s" % e, file=sys.stderr)
        return 1
    print("usage:\n" + "\n".join(__doc__.strip().splitlines()[2:4]), file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
