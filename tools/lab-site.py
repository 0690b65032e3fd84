#!/usr/bin/python3
"""A running lab for tools/lab: its devices, its servers, its teardown and its checks.

  lab-site.py --prefix P vars                    the topology and the lab's devices, for bash
  lab-site.py --prefix P prepare                 "complete" when the site is up and its servers run;
                                                 else removes what there is and prints vars for up
  lab-site.py --prefix P start                   resolver files, DNS and web servers: the lab is up
  lab-site.py --prefix P teardown                ends its processes, deletes its namespaces and state
  lab-site.py --prefix P check-device NAME IP    exit 1, saying why, when the device cannot be added
  lab-site.py --prefix P add-device NAME IP MAC FLAGS   records a device tools/lab has made
  lab-site.py --prefix P del-device NAME         ends a device's processes and deletes it
  lab-site.py --prefix P status                  shows the site and checks it
  lab-site.py serve-web ADDRESS FOLDER FD        a device's web server; FD is closed once it listens

tools/lab runs it with its lock held. The state lives in /run/vantrel-lab/P/:
devices.json (the lab's devices), pids/NAME.pid, www/, logs and up.done.
Standard library only.
"""

import ipaddress
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import time

import labtopology

STATE_ROOT = "/run/vantrel-lab"
HERE = os.path.dirname(os.path.abspath(__file__))
PROBE = os.path.join(HERE, "lab-probe.py")
PYTHON = sys.executable or "/usr/bin/python3"


class Failure(Exception):
    pass


def ip(*args, json_out=True, stdin=None):
    done = subprocess.run(["ip", *(["-j"] if json_out else []), *args], input=stdin, text=True,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if done.returncode != 0:
        raise Failure("ip %s: %s" % (" ".join(args), done.stderr.strip()))
    return json.loads(done.stdout or "[]") if json_out else done.stdout


class Lab:
    def __init__(self, prefix):
        self.prefix = prefix
        self.topology = labtopology.load()
        self.state = os.path.join(STATE_ROOT, prefix)
        self.pids = os.path.join(self.state, "pids")
        self.computer = self.ns(self.topology.computer["namespace"])

    def ns(self, name):
        return "%s-%s" % (self.prefix, name)

    # --- state ---------------------------------------------------------------------------------
    def devices(self):
        """The lab's devices: those of the topology until up has recorded its own list."""
        try:
            with open(os.path.join(self.state, "devices.json")) as f:
                return json.load(f)
        except FileNotFoundError:
            return self.topology.devices

    def save_devices(self, devices):
        path = os.path.join(self.state, "devices.json")
        with open(path + ".new", "w") as f:
            json.dump(devices, f, indent=1)
        os.replace(path + ".new", path)

    def namespaces(self):
        # Only P-name with a plain name: a prefix "a" must never catch the lab "a-b".
        plain = re.compile(re.escape(self.prefix) + r"-[a-z0-9]+")
        return [n["name"] for n in ip("netns", "list") if plain.fullmatch(n["name"])]

    def expected_servers(self):
        return ["dnsmasq"] + ["web-" + d["name"] for d in self.devices() if d.get("web")]

    def recorded_pid(self, server):
        try:
            with open(os.path.join(self.pids, server + ".pid")) as f:
                return int(f.read().strip())
        except (OSError, ValueError):
            return None

    # --- processes -----------------------------------------------------------------------------
    def namespace_inodes(self, spaces):
        inodes = set()
        for n in spaces:
            try:
                inodes.add(os.stat("/run/netns/" + n).st_ino)
            except OSError:
                pass
        return inodes

    def pids_in(self, spaces):
        """Every process whose network namespace is one of spaces (what ip netns pids tells)."""
        inodes = self.namespace_inodes(spaces)
        found = set()
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    if os.stat("/proc/%s/ns/net" % entry).st_ino in inodes:
                        found.add(int(entry))
                except OSError:
                    pass
        found.discard(os.getpid())
        return found

    def is_ours(self, pid, inodes=None):
        if not running(pid):
            return False
        try:
            with open("/proc/%d/cmdline" % pid, "rb") as f:
                if (self.state + "/").encode() in f.read():
                    return True
            inodes = self.namespace_inodes(self.namespaces()) if inodes is None else inodes
            return os.stat("/proc/%d/ns/net" % pid).st_ino in inodes
        except OSError:
            return False

    # --- teardown ------------------------------------------------------------------------------
    def teardown(self):
        spaces = self.namespaces()
        inodes = self.namespace_inodes(spaces)
        pids = set()
        if os.path.isdir(self.pids):
            for name in os.listdir(self.pids):
                pid = self.recorded_pid(name[:-4]) if name.endswith(".pid") else None
                if pid and pid != os.getpid() and self.is_ours(pid, inodes):
                    pids.add(pid)
        # Anything else still running in a lab namespace (a test's program, a server from an up
        # that died before recording it) would keep the namespace alive after "netns del".
        pids |= self.pids_in(spaces)
        end(pids, signal.SIGTERM)
        deadline = time.monotonic() + 1.0
        while any(running(p) for p in pids) and time.monotonic() < deadline:
            time.sleep(0.01)
        end([p for p in pids if running(p)], signal.SIGKILL)
        if spaces:
            subprocess.run(["ip", "-force", "-batch", "-"], input="".join("netns del %s\n" % n for n in spaces),
                           text=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree("/etc/netns/" + self.computer, ignore_errors=True)
        shutil.rmtree(self.state, ignore_errors=True)
        try:
            os.rmdir("/etc/netns")
        except OSError:
            pass

    def complete(self):
        if not os.path.exists(os.path.join(self.state, "up.done")):
            return False
        have = set(self.namespaces())
        want = [m["namespace"] for m in self.topology.infrastructure] + [d["name"] for d in self.topology.devices]
        if any(self.ns(n) not in have for n in want):
            return False
        inodes = self.namespace_inodes(have)
        return all((pid := self.recorded_pid(s)) and self.is_ours(pid, inodes) for s in self.expected_servers())

    # --- start ---------------------------------------------------------------------------------
    def start(self):
        os.makedirs(self.pids, exist_ok=True)
        self.write_resolver_files()
        devices = self.topology.devices
        webs = [self.start_web(d) for d in devices if d["web"]]
        self.start_dns(devices)
        for name, ready, log in webs:
            wait_ready(name, ready, log)
        self.save_devices(devices)
        with open(os.path.join(self.state, "up.done"), "w") as f:
            f.write("%d\n" % time.time())

    def write_resolver_files(self):
        # "ip netns exec" mounts each file of /etc/netns/NAME over its twin in /etc. Name lookups on
        # the computer must only ever ask the lab's server: no host entries, no resolver daemon
        # reached through a socket of the host.
        folder = "/etc/netns/" + self.computer
        os.makedirs(folder, exist_ok=True)
        server = self.topology.router["lan"]["address"]
        write(folder + "/resolv.conf", "nameserver %s\nsearch %s\noptions timeout:1 attempts:2\n"
              % (server, self.topology.dns["domain"]))
        write(folder + "/hosts", "127.0.0.1\tlocalhost\n")
        try:
            with open("/etc/nsswitch.conf") as f:
                conf = f.read()
        except OSError:
            conf = ""
        hosts = "hosts:          files dns"
        conf, found = re.subn(r"(?m)^hosts:.*$", hosts, conf)
        write(folder + "/nsswitch.conf", conf if found else conf + hosts + "\n")

    def start_dns(self, devices):
        t = self.topology
        args = ["--conf-file=/dev/null", "--no-resolv", "--no-hosts", "--no-poll",
                "--bind-interfaces", "--listen-address=" + t.router["lan"]["address"], "--port=53",
                "--user=root", "--group=root",
                "--pid-file=%s/dnsmasq.pidfile" % self.state, "--log-facility=%s/dnsmasq.log" % self.state,
                "--log-queries", "--domain-needed", "--bogus-priv", "--local=/#/"]
        args += ["--host-record=%s,%s" % r for r in t.host_records(devices)]
        args += ["--address=/%s/%s" % (a["name"], a["address"]) for a in t.dns["a_only"]]
        # An alias whose target is itself an alias comes after it.
        pending = list(t.dns["cnames"])
        while pending:
            aliases = {c["name"] for c in pending}
            ready = [c for c in pending if c["target"] not in aliases] or pending
            args += ["--cname=%s,%s" % (c["name"], c["target"]) for c in ready]
            pending = [c for c in pending if c not in ready]
        out = os.path.join(self.state, "dnsmasq.out")
        # dnsmasq returns only once it listens (or failed), and daemonises itself.
        with open(out, "w") as log:
            rc = subprocess.run(["ip", "netns", "exec", self.ns(t.router["namespace"]), "dnsmasq", *args],
                                stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT).returncode
        if rc != 0:
            raise Failure("dnsmasq failed: " + tail(out))
        # dnsmasq deletes its own pid file when it ends; keep a copy that outlives it.
        shutil.copy(os.path.join(self.state, "dnsmasq.pidfile"), os.path.join(self.pids, "dnsmasq.pid"))

    def start_web(self, device):
        name, address = device["name"], device["ip"]
        folder = os.path.join(self.state, "www", name)
        os.makedirs(folder, exist_ok=True)
        title = device["web"]["title"]
        write(folder + "/index.html", "<!DOCTYPE html>\n<html><head><title>%s</title></head>\n"
              "<body><h1>%s</h1><p>%s</p></body></html>\n" % (title, title, address))
        log = os.path.join(self.state, "web-%s.log" % name)
        ready, told = os.pipe()
        # A session of its own, and no descriptor of ours but the one it closes once it listens:
        # neither the lock nor a caller's pipe may live on in the server.
        with open(log, "w") as out:
            server = subprocess.Popen(
                ["ip", "netns", "exec", self.ns(name), PYTHON, "-Es", os.path.abspath(__file__), "serve-web",
                 address, folder, str(told)],
                stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT, pass_fds=(told,),
                start_new_session=True)
        os.close(told)
        # "ip netns exec" becomes the server: its pid is the server's.
        write(os.path.join(self.pids, "web-%s.pid" % name), "%d\n" % server.pid)
        return name, ready, log

    # --- devices added and removed -------------------------------------------------------------
    def check_device(self, name, address):
        t = self.topology
        if name in [m["namespace"] for m in t.infrastructure]:
            raise Failure("device name %s is taken by the lab itself" % name)
        hosts = list(t.subnet.hosts())
        try:
            inside = ipaddress.ip_address(address) in hosts
        except ValueError:
            inside = False
        if not inside:
            raise Failure("device address must be in %s-%s: %s" % (hosts[0], str(hosts[-1]).rsplit(".", 1)[1], address))
        devices = self.devices()
        if address in [t.computer["eth0"]["address"], t.router["lan"]["address"]] + [d["ip"] for d in devices]:
            raise Failure("address %s is already in use" % address)
        if name in [d["name"] for d in devices]:
            raise Failure("device %s already exists" % name)

    def add_device(self, name, address, mac, flags):
        self.save_devices(self.devices() + [{
            "name": name, "ip": address, "mac": mac, "hostname": None, "ignores_ping": "noping" in flags,
            "web": None, "maker": None, "expect": None}])

    def del_device(self, name):
        if name in [m["namespace"] for m in self.topology.infrastructure]:
            raise Failure("%s is part of the lab itself" % name)
        space = self.ns(name)
        if space not in self.namespaces():
            raise Failure("no device %s in lab %s" % (name, self.prefix))
        end(self.pids_in([space]), signal.SIGKILL)
        try:
            os.unlink(os.path.join(self.pids, "web-%s.pid" % name))
        except FileNotFoundError:
            pass
        # Deleting the namespace deletes its veth, and with it the switch port.
        ip("netns", "del", space, json_out=False)
        if os.path.exists(os.path.join(self.state, "devices.json")):
            self.save_devices([d for d in self.devices() if d["name"] != name])

    # --- status --------------------------------------------------------------------------------
    def status(self):
        have = self.namespaces()
        if not have and not os.path.isdir(self.state):
            print("lab %s: not up" % self.prefix)
            return 1
        fails = []

        def check(good, text, bad=None):
            print("  %s  %s" % ("ok  " if good else "FAIL", text if good or bad is None else bad))
            if not good:
                fails.append(text)

        t = self.topology
        devices = self.devices()
        print("lab %s:" % self.prefix)
        print("namespaces:")
        for name in [m["namespace"] for m in t.infrastructure] + [d["name"] for d in devices]:
            space = self.ns(name)
            if space in have:
                links = ["%s %s %s %s" % (l["ifname"], l.get("operstate", "?"),
                                          " ".join("%s/%d" % (a["local"], a["prefixlen"]) for a in l.get("addr_info", [])
                                                   if a.get("family") == "inet") or "-",
                                          l.get("address", "").upper())
                         for l in ip("-n", space, "addr", "show") if l["ifname"] != "lo"]
                print("  %-16s %s" % (space, "   ".join(links)))
            else:
                check(False, "namespace %s is missing" % space)
        print("servers:")
        for server in self.expected_servers():
            pid = self.recorded_pid(server)
            if pid and self.is_ours(pid):
                check(True, "%s pid %d" % (server, pid))
            else:
                check(False, "%s is not running%s" % (server, " (pid %d)" % pid if pid else ""))
        if fails:
            print("lab %s is incomplete" % self.prefix)
            return 1

        print("self-check:")
        pc = self.computer
        check(not ip("-n", pc, "route", "show", "default"), "the computer has no default route",
              "the computer has a default route")
        eth1 = t.computer["eth1"]
        link = ip("-n", pc, "addr", "show", "eth1")
        good = bool(link) and link[0].get("link_type") == "ether" and "UP" not in link[0].get("flags", []) and \
            any(a.get("local") == eth1["address"] for a in link[0].get("addr_info", []))
        check(good, "eth1 is an Ethernet adapter, down, with %s" % eth1["address"],
              "eth1 is not a down Ethernet adapter with %s" % eth1["address"])

        answering = [d["ip"] for d in devices if not d["ignores_ping"]]
        silent = [d["ip"] for d in devices if d["ignores_ping"]]
        far = t.far["eth0"]["address"]
        rc, out = self.probe("ping", "-w", "1000", *answering, far)
        check(rc == 0, "ping answered by %d devices and the far host %s" % (len(answering), far),
              "ping: " + " ".join(l for l in out.splitlines() if " reply " not in l))
        if silent:
            rc, out = self.probe("ping", "-w", "300", *silent)
            check(rc == 1, "ping ignored by " + " ".join(silent), "ping not ignored: " + out.replace("\n", " "))
        router = t.router["lan"]["address"]
        rc, out = self.probe("ping", "-w", "1000", t.unreachable_address)
        out = out.strip()
        check(re.search(r"icmp type 3 .*from %s\b" % re.escape(router), out) is not None, out,
              "no unreachable from the router: " + out)

        neighbours = {n.get("dst"): n.get("lladdr", "").upper() for n in ip("-n", pc, "neigh", "show", "dev", "eth0")}
        bad = ["%s:%s:%s" % (d["name"], d["ip"], neighbours.get(d["ip"]) or "none")
               for d in devices if neighbours.get(d["ip"]) != d["mac"]]
        check(not bad, "ARP gives every device its own MAC", "ARP mismatch: " + " ".join(bad))

        named = next(d for d in devices if d.get("hostname"))
        name, address = named["hostname"], named["ip"]
        out = self.lookup(name)
        check(out.startswith(address + " "), "DNS: %s is %s" % (name, address), "DNS A: " + (out or "no answer"))
        alias = t.dns["cnames"][0]["name"]
        canonical, address = t.resolve(alias)
        out = self.lookup(alias)
        check(out.startswith(address + " ") and out.endswith(canonical), "DNS: %s -> %s" % (alias, canonical),
              "DNS CNAME: " + (out or "no answer"))

        for d in devices:
            if d.get("web"):
                rc, out = self.probe("http", d["ip"])
                check(out.strip() == "200 " + d["web"]["title"], "web page of %s at http://%s/" % (d["name"], d["ip"]),
                      "web %s: %s" % (d["name"], out.strip()))

        if fails:
            print("lab %s: %d check(s) failed" % (self.prefix, len(fails)))
            return 1
        print("lab %s is complete" % self.prefix)
        return 0

    def probe(self, *args):
        done = subprocess.run(["ip", "netns", "exec", self.computer, PYTHON, PROBE, *args], text=True,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        return done.returncode, done.stdout

    def lookup(self, name):
        done = subprocess.run(["ip", "netns", "exec", self.computer, "getent", "ahostsv4", name], text=True,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        return (done.stdout.splitlines() or [""])[0].strip()


def running(pid):
    """True unless the process is gone; a killed server stays a zombie until reaped."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] not in ("Z", "X")
    except (OSError, IndexError):
        return False


def end(pids, sig):
    for pid in pids:
        try:
            os.kill(pid, sig)
        except OSError:
            pass


def write(path, text):
    with open(path, "w") as f:
        f.write(text)


def tail(path, lines=3):
    try:
        with open(path) as f:
            return " ".join(f.read().splitlines()[-lines:])
    except OSError:
        return ""


def wait_ready(name, ready, log, seconds=3.0):
    deadline = time.monotonic() + seconds
    said = b""
    while time.monotonic() < deadline:
        if select.select([ready], [], [], max(0.0, deadline - time.monotonic()))[0]:
            chunk = os.read(ready, 64)
            said += chunk
            if not chunk or b"ready" in said:
                break
    os.close(ready)
    if b"ready" not in said:
        raise Failure("web server on %s did not start: %s" % (name, tail(log)))


def serve_web(address, folder, told):
    import functools  # only the servers need these, and they take a while to import
    import http.server

    handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=folder)
    server = http.server.ThreadingHTTPServer((address, 80), handler)
    os.write(told, b"ready\n")
    os.close(told)
    server.serve_forever()


def main(argv):
    if len(argv) == 4 and argv[0] == "serve-web":
        serve_web(argv[1], argv[2], int(argv[3]))
        return 0
    if len(argv) < 3 or argv[0] != "--prefix":
        print(__doc__, file=sys.stderr)
        return 2
    lab, command, args = Lab(argv[1]), argv[2], argv[3:]
    try:
        if command == "vars" and not args:
            sys.stdout.write(labtopology.shell(lab.topology, lab.devices()))
        elif command == "prepare" and not args:
            if lab.complete():
                print("complete")
            else:
                lab.teardown()
                sys.stdout.write(labtopology.shell(lab.topology))
        elif command == "start" and not args:
            lab.start()
        elif command == "teardown" and not args:
            lab.teardown()
        elif command == "check-device" and len(args) == 2:
            lab.check_device(*args)
        elif command == "add-device" and len(args) == 4:
            lab.add_device(*args)
        elif command == "del-device" and len(args) == 1:
            lab.del_device(*args)
        elif command == "status" and not args:
            return lab.status()
        else:
            print(__doc__, file=sys.stderr)
            return 2
    except (Failure, OSError, labtopology.TopologyError) as e:
        print("tools/lab: %s" % e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
