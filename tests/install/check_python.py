"""The Python module against PARI/GP and against rara-cli.

Usage: check_python.py RARA_CLI README  (with the module on PYTHONPATH)
"""
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import threading

import rara

cli, readme = sys.argv[1], sys.argv[2]
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)


def gp_ellcard(degree, poly, a, b):
    """#E of y^2 + xy = x^3 + a x^2 + b over GF(2)[x]/(poly), by PARI/GP."""
    script = (
        "default(parisizemax, 2*10^9);\n"
        f"g = ffgen(Mod(1,2)*Pol(binary({poly})), 'g);\n"
        "el(n) = subst(Pol(binary(n)), 'x, g);\n"
        f"print(ellcard(ellinit([1, el({a}), 0, 0, el({b})])));\n")
    out = subprocess.run(["gp", "-q", "-f"], input=script, capture_output=True, text=True,
                         check=True).stdout
    return int(out.strip())


def field_int(curve):
    return sum(1 << term["power"] for term in curve["field"]["poly"])


have_gp = shutil.which("gp") is not None
if not have_gp:
    if os.environ.get("CI"):
        sys.exit("gp is missing")
    print("gp not found: the PARI/GP checks are skipped")

# A seeded curve at N = 163: its order K*R is #E, the generator is on the
# curve and has order R (the proof), and PARI/GP counts the same points.
curve = rara.build_curve(163, seed="python", points=2)
n = curve["order"] * curve["cofactor"]
a, b = curve["params"]["a"], curve["params"]["b"]
check(curve["field"]["degree"] == 163 and len(curve["points"]) == 2, "shape of the result")
check(curve["generator"] == dict(zip(("x", "y"), curve["points"][-1])), "generator = last point")
again = rara.build_curve(163, seed="python", points=2)
check(again == curve, "the same seed gives the same curve")
verdicts = rara.check(curve)
check(verdicts["proof"]["proven"] and verdicts["proof"]["point_count"] == n, "order proof")
if have_gp:
    check(gp_ellcard(163, field_int(curve), a, b) == n, "ellcard of the built curve")

# count_points on curves that were not built by CM, against ellcard.
rng = random.Random(20261209)
for degree, poly in ((163, (1 << 163) | 0xC9), (233, (1 << 233) | (1 << 74) | 1)):
    ra, rb = rng.getrandbits(degree), rng.getrandbits(degree) | 1
    count = rara.count_points(degree, poly, ra, rb)
    if have_gp:
        check(count == gp_ellcard(degree, poly, ra, rb),
              f"count_points = ellcard at N = {degree}, a = {ra:#x}, b = {rb:#x}")

# Refused entries carry the same message as rara-cli's.
for degree, kwargs, args in ((163, {"kmax": 1}, ["-k", "1"]), (40, {}, []),
                             (163, {"ratio": "2.0"}, ["-r", "2.0"]),
                             (100, {"field_list": "x963"}, ["-l", "x963"]),
                             (163, {"field": "[163,1,0]"}, ["-f", "[163,1,0]"])):
    try:
        rara.build_curve(degree, **kwargs)
        check(False, f"{kwargs} accepted")
    except ValueError as e:
        run = subprocess.run([cli, "-N", str(degree), *args], capture_output=True, text=True)
        expected = run.stderr.splitlines()[0].removeprefix("rara-cli: ")
        check(str(e) == expected, f"{kwargs}: {e!r} != {expected!r}")
try:
    rara.count_points(163, (1 << 163) | 0xC9, 1, 0)
    check(False, "b = 0 accepted")
except rara.Error as e:
    check(str(e) == "ECPointCount\r\nInvalid parameter\r\nInvalid B coefficient", repr(str(e)))

# The automatic precision ratio goes on past 1.0 where W needs it (as
# rara-cli's does at this degree and seed); forced to 1.0, the same W fails.
check(rara.build_curve(300, seed="r")["rara"]["ratio"] == 1.25, "automatic ratio")
try:
    rara.build_curve(300, seed="r", ratio=1.0)
    check(False, "an inconsistent W accepted")
except rara.Error as e:
    check(str(e).startswith("Failed computation\r\nAn error occurred while computing the Weber"),
          repr(str(e)))

# Exports by extension; the JSON holds the same fields as the dict.
with tempfile.TemporaryDirectory() as tmp:
    import json
    rara.export(curve, os.path.join(tmp, "c.json"))
    with open(os.path.join(tmp, "c.json")) as f:
        exported = json.load(f)
    check(int(exported["order"], 16) == curve["order"], "exported order")
    check(int(exported["params"]["b"]["raw"], 16) == b, "exported b")
    # The exported PEM audits clean; a missing file raises with its name.
    pem = os.path.join(tmp, "c.pem")
    rara.export(curve, pem)
    report = rara.audit(pem)
    check(report["ok"] and any(l.startswith("Point count #E = ") for l in report["lines"]),
          f"audit of our own export: {report}")
    try:
        rara.audit(os.path.join(tmp, "missing.pem"))
        check(False, "a missing file audited")
    except rara.Error as e:
        check("missing.pem" in str(e), repr(str(e)))
    try:
        rara.export(curve, os.path.join(tmp, "c.txt"))
        check(False, ".txt accepted")
    except rara.Error as e:
        check("use .pem, .der or .json" in str(e), repr(str(e)))

# Ctrl-C during a long count raises KeyboardInterrupt; the next call works.
timer = threading.Timer(0.05, lambda: os.kill(os.getpid(), signal.SIGINT))
timer.start()
try:
    rara.count_points(571, (1 << 571) | (1 << 10) | (1 << 5) | (1 << 2) | 1, 1, 12345)
    check(False, "the count finished before Ctrl-C: no KeyboardInterrupt")
except KeyboardInterrupt:
    pass
timer.join()
check(rara.count_points(163, (1 << 163) | 0xC9, a, b) == n, "a call after the interrupt")

# The README's example runs as shown.
lines = open(readme).read().splitlines()
start = lines.index("<!-- example: python -->") + 2
example = "\n".join(lines[start:lines.index("```", start)])
run = subprocess.run([sys.executable, "-c", example], capture_output=True, text=True)
check(run.returncode == 0 and "PASS" in run.stdout, f"README example: {run.stdout}{run.stderr}")

sys.exit(1 if failures else 0)
