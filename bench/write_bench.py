#!/usr/bin/env python3
"""A verified write against the wire time of one write and one read, on the Release build.

Over a pseudo-terminal with the simulated module paced at 19200 baud: one
`corvanta-cli read`, one `corvanta-cli write --no-verify` and one
`corvanta-cli write` (which reads the module back after its commit). The wire
time of each is its bytes on the line / 1920 per second.

Goal: the verified write's wall time at most 1.03 x the wire time of the
unverified write and the read together. Exit status 1 when it is missed.

usage: bench/write_bench.py [BUILD_DIR]
Without BUILD_DIR: $BUILD_DIR, or build-release/, built by bench/release_build.
"""

import importlib.util
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
loader_spec = importlib.util.spec_from_file_location("transfer_bench", os.path.join(HERE, "transfer_bench.py"))
tb = importlib.util.module_from_spec(loader_spec)
loader_spec.loader.exec_module(tb)  # builds the tools, as that benchmark does

GOAL = 1.03


def main():
    for tool in (tb.SIM, tb.CLI):
        if not os.access(tool, os.X_OK):
            sys.exit("%s not built (build the corvanta-sim and corvanta-cli targets)" % tool)
    with tempfile.TemporaryDirectory() as workdir:
        sim = tb.Sim(workdir, ["--baud", "19200"])
        image = os.path.join(workdir, "image.CD2")
        link = ["--port", sim.tty, "--code", "1234"]
        rows = {}
        try:
            for name, args in (("read", ["read", "-o", image] + link),
                               ("write --no-verify", ["write", image, "--no-verify"] + link),
                               ("write (verified)", ["write", image] + link)):
                start = sim.mark()
                wall, cpu = tb.run_cli(args)
                rows[name] = (wall, cpu, sim.wire_bytes(start, sim.mark()))
        finally:
            sim.stop()
    print("Pseudo-terminal, module paced at 19200 baud")
    print("  %-18s %9s %9s %8s %12s" % ("", "wall s", "CPU s", "bytes", "wire s"))
    for name, (wall, cpu, wire) in rows.items():
        print("  %-18s %9.3f %9.3f %8d %12.3f" % (name, wall, cpu, wire, wire / tb.BYTES_PER_SECOND))
    wire_both = (rows["read"][2] + rows["write --no-verify"][2]) / tb.BYTES_PER_SECOND
    verified = rows["write (verified)"][0]
    ratio = verified / wire_both
    met = ratio <= GOAL
    print("  verified write %.3f s / wire time of a write and a read %.3f s = %.3f (goal %.2f): %.2f of goal, %s"
          % (verified, wire_both, ratio, GOAL, ratio / GOAL, "MET" if met else "MISSED"))
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main())
