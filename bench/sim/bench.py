#!/usr/bin/python3
"""Simulation speed against SimPy, in one run.

Each benchmark model is written as a TALVEN model, translated, built with
the runtime and run; the same model written for SimPy runs beside it.
The table gives, for both, the work done per second of CPU time
(customers, station services, services or integration steps, named per
model), their ratio and the peak resident memory of each run.

usage: bench.py [--talven BIN] [--runtime DIR] [--scale F] [--only NAME,...]
                [--write DIR] [--memory] [--best N]
  --scale F    multiplies every horizon (0.1 for a quick look)
  --best N     runs each program N times (3) and keeps the fastest: on a
               shared machine a slow run says more of the machine than of
               the program
  --write DIR  only writes the models' sources into DIR (no run)
  --memory     adds M/M/1 runs of 1 and 10 million customers: peak memory
               must not grow with the customers served
  --simpy NAME HORIZON   (internal) runs one SimPy model and prints its count
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))

# ---- the TALVEN models ------------------------------------------------------

MM1 = """M/M/1: arrivals at rate 1, one server busy 80 % of the time.
NETWORK
  ENTRY (I) SERVER ::
     IT := EXPO(1);
  SERVER (R) LEAVE ::
     STAY := EXPO(0.8);
  LEAVE (E) ::
INIT
  TSIM := {horizon};
  ACT(ENTRY, 0);
DECL
END.
"""

MMC = """M/M/c with ten thousand servers, about eight thousand of them busy.
NETWORK
  ENTRY (I) SERVER ::
     IT := EXPO(0.01);
  SERVER (R) LEAVE ::
     STAY := EXPO(80);
  LEAVE (E) ::
INIT
  TSIM := {horizon};
  SERVER := 10000;
  ACT(ENTRY, 0);
DECL
END.
"""


# Each station busy half the time.  An R node runs its code for the first
# message waiting whenever the scan passes it, the server busy or not (so
# STAY is drawn again each time, and the draws are part of the results):
# its cost per event grows with the number of stations where someone
# waits, about one in four here.  Counted at the horizon below: 173 node
# calls per service (169 965 860 calls for 981 685 services, 981 183 of
# them the event's own node), 172.8 exponentials drawn per service
# (169 588 571), where SimPy draws one.  The scan already passes over the
# stations with nobody waiting; every call it makes draws, so none can be
# left out without changing the results.
def tandem(stations):
    lines = ["A tandem of %d single-server stations." % stations, "NETWORK",
             "  ENTRY (I) S1 ::", "     IT := EXPO(1);"]
    for i in range(1, stations + 1):
        nxt = "S%d" % (i + 1) if i < stations else "LEAVE"
        lines += ["  S%d (R) %s ::" % (i, nxt), "     STAY := EXPO(0.5);"]
    lines += ["  LEAVE (E) ::", "INIT", "  TSIM := {horizon};", "  ACT(ENTRY, 0);",
              "DECL", "END.", ""]
    return "\n".join(lines)


# A closed loop: WAITING + 1 customers, one server; the queue is kept in
# order of a random priority drawn again at every return, so WAITING
# customers always wait in the ordered list.
ORDER = """One server and {waiting} customers waiting in a list kept in order.
NETWORK
  GEN (I) QUEUE ::
     K := K + 1;
     IF K <= {waiting} THEN IT := 0;
  QUEUE (L) SERVER ::
     PRIO := RANDOM;
     ORDER(PRIO);
  SERVER (R) QUEUE ::
     STAY := EXPO(1);
INIT
  TSIM := {horizon};
  K := 0;
  ACT(GEN, 0);
DECL
NODES GEN (PRIO : REAL);
VAR K : INTEGER;
END.
"""


def continuous(nodes):
    lines = ["%d tanks, each integrated by a C node of its own." % nodes, "NETWORK"]
    for i in range(1, nodes + 1):
        lines += ["  C%d (C) ::" % i, "     METHOD(RK4);",
                  "     X%d' = %d - X%d;" % (i, i, i), "     STEPS := STEPS + 1;"]
    lines += ["  FIN (A) ::", "     WRITELN('STEPS ', STEPS);", "INIT",
              "  TSIM := {horizon};", "  STEPS := 0;"]
    for i in range(1, nodes + 1):
        lines += ["  DT_C%d := 0.1;" % i, "  ACT(C%d, 0);" % i]
    lines += ["  ACT(FIN, {horizon} - 0.05);", "DECL", "VAR STEPS : INTEGER;"]
    lines += ["    X%d : CONT;" % i for i in range(1, nodes + 1)]
    lines += ["END.", ""]
    return "\n".join(lines)


def entries(report, prefix):
    """Sum of the entries column of the report's lists named prefix*."""
    total = 0
    for line in report.splitlines():
        f = line.split()
        if len(f) >= 7 and f[0].startswith(prefix) and f[1].isdigit():
            total += int(f[4])
    return total


def steps(report):
    m = re.search(r"STEPS\s+(\d+)", report)
    return int(m.group(1)) if m else 0


# name, unit, TALVEN source, TALVEN horizon, SimPy horizon, count from report
MODELS = [
    ("M/M/1", "customers", lambda: MM1, 2_000_000, 100_000,
     lambda r: entries(r, "EL_LEAVE")),
    ("M/M/10000", "customers", lambda: MMC, 12_000, 600,
     lambda r: entries(r, "EL_LEAVE")),
    ("tandem 1000", "services", lambda: tandem(1000), 1_500, 150,
     lambda r: entries(r, "IL_S")),
    ("ORDER 100000", "services", lambda: ORDER.replace("{waiting}", "100000"), 1_000_000, 50_000,
     lambda r: entries(r, "IL_SERVER")),
    ("100 C nodes", "steps", lambda: continuous(100), 5_000, 200, steps),
]

# ---- the same models in SimPy ----------------------------------------------


def simpy_run(name, horizon):
    import simpy
    env = simpy.Environment()
    rng = random.Random(29999)
    count = [0]

    def expo(mean):
        return rng.expovariate(1.0 / mean)

    if name in ("M/M/1", "M/M/10000"):
        servers, ia, st = (1, 1.0, 0.8) if name == "M/M/1" else (10000, 0.01, 80.0)
        res = simpy.Resource(env, capacity=servers)

        def customer():
            with res.request() as req:
                yield req
                yield env.timeout(expo(st))
            count[0] += 1

        def source():
            while True:
                env.process(customer())
                yield env.timeout(expo(ia))
        env.process(source())
    elif name == "tandem 1000":
        stations = [simpy.Resource(env, capacity=1) for _ in range(1000)]

        def customer():
            for s in stations:
                with s.request() as req:
                    yield req
                    count[0] += 1
                    yield env.timeout(expo(0.5))

        def source():
            while True:
                env.process(customer())
                yield env.timeout(expo(1.0))
        env.process(source())
    elif name == "ORDER 100000":
        # The waiting customers in a heap by priority, then by arrival, as
        # ORDER keeps them; the server takes the first, serves it and puts
        # it back with a new priority.
        store = simpy.PriorityStore(env)
        seq = [0]

        def back():
            seq[0] += 1
            return store.put((rng.random(), seq[0]))

        def server():
            while True:
                yield store.get()
                count[0] += 1
                yield env.timeout(expo(1.0))
                back()
        for _ in range(100001):
            back()
        env.process(server())
    elif name == "100 C nodes":
        def tank(i):
            x, h = 0.0, 0.1
            f = lambda y: i - y
            while True:
                k1 = f(x)
                k2 = f(x + h / 2 * k1)
                k3 = f(x + h / 2 * k2)
                k4 = f(x + h * k3)
                x += h / 6 * (k1 + 2 * k2 + 2 * k3 + k4)
                count[0] += 1
                yield env.timeout(h)
        for i in range(1, 101):
            env.process(tank(i))
    else:
        raise SystemExit("unknown model " + name)
    env.run(until=horizon)
    print("COUNT", count[0])

# ---- driver -----------------------------------------------------------------


def best(n, cmd, cwd):
    """timed() n times: the run of least CPU time, the largest peak."""
    runs = [timed(cmd, cwd) for _ in range(max(1, n))]
    fast = min(runs, key=lambda r: r[0])
    return fast[0], max(r[1] for r in runs), fast[2]


def timed(cmd, cwd):
    """Runs cmd in cwd (a model's own folder, where its report and result
    files go) with empty input under GNU time; (CPU seconds, peak resident
    KiB, output).  CPU time rather than wall-clock time: the machine may
    be shared, and a waiting process is not a slow one."""
    out = tempfile.TemporaryFile()
    with tempfile.NamedTemporaryFile(mode="r") as tf:
        p = subprocess.run(["/usr/bin/time", "-f", "%U %S %M", "-o", tf.name] + cmd,
                           cwd=cwd, stdin=subprocess.DEVNULL, stdout=out,
                           stderr=subprocess.STDOUT)
        user, system, kib = tf.read().split()[-3:]
    out.seek(0)
    text = out.read().decode("latin-1")
    if p.returncode != 0:
        raise SystemExit("failed (%d): %s\n%s" % (p.returncode, " ".join(cmd), text[-2000:]))
    return float(user) + float(system), int(kib), text


def build(talven, runtime, work, stem, source):
    d = os.path.join(work, stem)
    os.makedirs(os.path.join(d, "bin"), exist_ok=True)
    with open(os.path.join(d, stem + ".tlv"), "w") as f:
        f.write(source)
    subprocess.run([talven, stem + ".tlv"], cwd=d, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    r = subprocess.run(["fpc", "-Mdelphi", "-O2", "-Fu" + runtime, "-FUbin",
                        "-FEbin", stem + ".DPR"], cwd=d, stdout=subprocess.PIPE,
                       stderr=subprocess.STDOUT)
    if r.returncode != 0:
        raise SystemExit("fpc failed for %s:\n%s" % (stem, r.stdout.decode()[-3000:]))
    return os.path.join(d, "bin", stem)


def stem_of(name):
    """A program name: letters first."""
    return "b" + re.sub(r"[^a-z0-9]", "", name.lower())


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--talven", default=os.path.join(ROOT, "build", "talven"))
    ap.add_argument("--runtime", default=os.path.join(ROOT, "runtime"))
    ap.add_argument("--scale", type=float, default=1.0)
    ap.add_argument("--only", default="")
    ap.add_argument("--write", default="")
    ap.add_argument("--memory", action="store_true")
    ap.add_argument("--best", type=int, default=3)
    ap.add_argument("--simpy", nargs=2, metavar=("NAME", "HORIZON"))
    a = ap.parse_args()
    # the models are translated and built in folders of their own
    a.talven = os.path.abspath(a.talven)
    a.runtime = os.path.abspath(a.runtime)
    if a.simpy:
        simpy_run(a.simpy[0], float(a.simpy[1]))
        return
    chosen = [m for m in MODELS if not a.only or m[0] in a.only.split(",")]
    if a.write:
        os.makedirs(a.write, exist_ok=True)
        for name, _, src, hor, _, _ in chosen:
            with open(os.path.join(a.write, stem_of(name) + ".tlv"), "w") as f:
                f.write(src().replace("{horizon}", "%g" % max(1, hor * a.scale)))
        return
    work = tempfile.mkdtemp(prefix="benchsim.")
    try:
        rows = []
        hdr = "%-13s %-9s %13s %13s %7s %10s %10s" % (
            "model", "unit", "TALVEN /s", "SimPy /s", "ratio", "TALVEN KiB", "SimPy KiB")
        print(hdr)
        print("-" * len(hdr))
        for name, unit, src, hor, shor, count in chosen:
            th = max(1, hor * a.scale)
            sh = max(1, shor * a.scale)
            prog = build(a.talven, a.runtime, work, stem_of(name),
                         src().replace("{horizon}", "%g" % th))
            ts, tm, rep = best(a.best, [prog], cwd=os.path.dirname(os.path.dirname(prog)))
            tn = count(rep)
            ss, sm, out = best(a.best, ["/usr/bin/python3", os.path.abspath(__file__),
                                 "--simpy", name, "%g" % sh], cwd=work)
            sn = int(out.split("COUNT")[-1])
            tr, sr = tn / ts, sn / ss
            rows.append((name, tr, sr))
            print("%-13s %-9s %13.0f %13.0f %6.1fx %10d %10d" % (
                name, unit, tr, sr, tr / sr if sr else 0, tm, sm))
            sys.stdout.flush()
        rate = dict((n, t) for n, t, _ in rows)
        if "M/M/1" in rate and "M/M/10000" in rate:
            print("M/M/10000 runs at %.0f %% of the M/M/1 rate" %
                  (100.0 * rate["M/M/10000"] / rate["M/M/1"]))
        if "M/M/1" in rate:
            # The same model showing its progress line and summarising two
            # replications into its result files: the line and the summary
            # must cost next to nothing.
            hor = max(1, MODELS[0][3] * a.scale)
            prog = build(a.talven, a.runtime, work, "mm1progress",
                         MM1.replace("{horizon}", "%g" % hor))
            ps, _, rep = best(a.best, [prog, "--progress", "--reps", "2", "--out",
                                os.path.join(work, "mm1progress", "results")],
                               cwd=os.path.join(work, "mm1progress"))
            pr = entries(rep, "EL_LEAVE") / ps
            print("M/M/1 with --progress --reps 2: %.0f customers/s, %.1f %% of the plain run" %
                  (pr, 100.0 * pr / rate["M/M/1"]))
        if a.memory:
            prog = build(a.talven, a.runtime, work, "mm1mem", MM1.replace("{horizon}", "1000000"))
            _, m1, r1 = timed([prog], cwd=os.path.join(work, "mm1mem"))
            prog = build(a.talven, a.runtime, work, "mm1mem10", MM1.replace("{horizon}", "10000000"))
            _, m10, r10 = timed([prog], cwd=os.path.join(work, "mm1mem10"))
            print("M/M/1 peak memory: %d KiB after %d customers, %d KiB after %d customers" %
                  (m1, entries(r1, "EL_LEAVE"), m10, entries(r10, "EL_LEAVE")))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
