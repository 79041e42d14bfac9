#!/usr/bin/env python3
"""Read all and write all of the parameter image, timed, on the Release build.

Over a pseudo-terminal with the simulated module paced at 19200 baud: wall
time, the program's CPU time and the wire-time limit (bytes exchanged / 1920
per second) side by side. Over TCP on loopback, unpaced: the wall time of a
whole `corvanta-cli read`.

Goals: paced wall at most 1.03 x the wire limit and program CPU at most 1 %
of wall; the TCP read at most 50 ms (median). Exit status 1 when one is
missed.

usage: bench/transfer_bench.py [BUILD_DIR]
Without BUILD_DIR: $BUILD_DIR, or build-release/, built by bench/release_build.
"""

import os
import socket
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
if len(sys.argv) > 1:
    BUILD = sys.argv[1]
else:
    BUILD = subprocess.run([os.path.join(ROOT, "bench", "release_build"), "corvanta-sim", "corvanta-cli"],
                           check=True, stdout=subprocess.PIPE, text=True).stdout.strip()
SIM = os.path.join(BUILD, "sim", "corvanta-sim")
CLI = os.path.join(BUILD, "src", "app", "corvanta-cli")
PASSWORD = "bench-jelszo"
BYTES_PER_SECOND = 1920          # 19200 baud, ten bits a byte
PROGRAM_LINE_END = 1             # CR
MODULE_LINE_END = 2              # the simulator ends its lines with CR LF
TCP_RUNS = 9
WIRE_GOAL = 1.03                 # wall / wire limit
CPU_GOAL = 0.01                  # program CPU / wall
TCP_GOAL = 0.050                 # seconds, whole command

verdicts = []


def verdict(value, goal):
    met = value <= goal
    verdicts.append(met)
    return "%.2f of goal: %s" % (value / goal, "MET" if met else "MISSED")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Sim:
    """The simulator in its own process; counts the bytes of every line."""

    def __init__(self, workdir, extra):
        self.port = free_port()
        self.tty = os.path.join(workdir, "tty")
        self.proc = subprocess.Popen(
            [SIM, "--pty", self.tty, "--tcp", str(self.port), "--password", PASSWORD, "--verbose"] + extra,
            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.lines = []
        self.ready = threading.Event()
        threading.Thread(target=self._collect, daemon=True).start()
        self.proc.stdout.readline()  # the pseudo-terminal's name
        if not self.ready.wait(10):
            sys.exit("corvanta-sim did not start")

    def _collect(self):
        for raw in self.proc.stderr:
            text = raw.decode("utf-8", "replace").rstrip("\n")
            if "listening on TCP port" in text:
                self.ready.set()
            self.lines.append(text)

    def mark(self):
        time.sleep(0.05)  # let the last lines of the run arrive
        return len(self.lines)

    def wire_bytes(self, start, end):
        total = 0
        for text in self.lines[start:end]:
            # "HH:mm:ss.zzz <-- LINE" (received) or "HH:mm:ss.zzz --> LINE" (sent)
            parts = text.split(" ", 2)
            if len(parts) < 3:
                continue
            if parts[1] == "<--":
                total += len(parts[2].encode("utf-8")) + PROGRAM_LINE_END
            elif parts[1] == "-->":
                total += len(parts[2].encode("utf-8")) + MODULE_LINE_END
        return total

    def stop(self):
        self.proc.terminate()
        self.proc.wait(5)


def run_cli(args):
    """Wall time and CPU time (user + system) of one corvanta-cli run."""
    start = time.perf_counter()
    proc = subprocess.Popen([CLI] + args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    output = proc.stdout.read()
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        sys.exit("corvanta-cli %s failed (%d):\n%s" % (args[0], code, output.decode("utf-8", "replace")))
    return wall, usage.ru_utime + usage.ru_stime


def paced(workdir):
    sim = Sim(workdir, ["--baud", "19200"])
    image = os.path.join(workdir, "image.CD2")
    link = ["--port", sim.tty, "--code", "1234"]
    rows = []
    try:
        for name, args in (("read all", ["read", "-o", image] + link), ("write all", ["write", image] + link)):
            start = sim.mark()
            wall, cpu = run_cli(args)
            wire = sim.wire_bytes(start, sim.mark())
            rows.append((name, wall, cpu, wire))
    finally:
        sim.stop()
    print("Pseudo-terminal, module paced at 19200 baud")
    print("  %-10s %10s %10s %10s %12s %10s %8s" % ("", "wall s", "CPU s", "bytes", "wire limit s", "wall/wire", "CPU/wall"))
    for name, wall, cpu, wire in rows:
        limit = wire / BYTES_PER_SECOND
        print("  %-10s %10.3f %10.3f %10d %12.3f %9.1f%% %7.2f%%" % (
            name, wall, cpu, wire, limit, 100.0 * wall / limit, 100.0 * cpu / wall))
    for name, wall, cpu, wire in rows:
        print("  %-10s wall/wire %.3f (goal %.2f, %s); CPU/wall %.2f%% (goal %.0f%%, %s)" % (
            name, wall / (wire / BYTES_PER_SECOND), WIRE_GOAL, verdict(wall / (wire / BYTES_PER_SECOND), WIRE_GOAL),
            100.0 * cpu / wall, 100.0 * CPU_GOAL, verdict(cpu / wall, CPU_GOAL)))


def tcp(workdir):
    sim = Sim(workdir, [])
    image = os.path.join(workdir, "tcp.CD2")
    link = ["--host", "127.0.0.1", "--tcp-port", str(sim.port), "--password", PASSWORD, "--code", "1234"]
    try:
        walls = sorted(run_cli(["read", "-o", image] + link)[0] for _ in range(TCP_RUNS))
    finally:
        sim.stop()
    median = walls[len(walls) // 2]
    print("TCP on loopback, unpaced: read all (whole command, %d runs)" % TCP_RUNS)
    print("  best %.3f s, median %.3f s (goal %.3f s, %s)" % (walls[0], median, TCP_GOAL, verdict(median, TCP_GOAL)))


def main():
    for tool in (SIM, CLI):
        if not os.access(tool, os.X_OK):
            sys.exit("%s not built (build the corvanta-sim and corvanta-cli targets)" % tool)
    with tempfile.TemporaryDirectory() as workdir:
        paced(workdir)
        tcp(workdir)
    sys.exit(0 if all(verdicts) else 1)


if __name__ == "__main__":
    main()
