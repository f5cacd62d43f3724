"""How soon the Python package's calls stop, over N rounds (default 20): Ctrl-C to the
KeyboardInterrupt in the computing interpreter, Cancel.cancel() from another thread to
velmora.Cancelled, and Ctrl-C to the end of a program whose call runs in a ThreadPoolExecutor;
then 1000 scattered points against 1000 one-point views.

    PYTHONPATH=build/python python3 bench/python_interrupt.py [N]
"""

import signal
import statistics
import subprocess
import sys
import threading
import time

import numpy as np
import velmora

LONG = ("velmora.Parameters(client=(300, 300), picture=(300, 300), mass_one=1, mass_two=1, "
        "mass_moving=1)")
MAIN = f"""
import threading, time, velmora
threading.Timer(0.3, lambda: print("running", flush=True)).start()
try:
    velmora.basins({LONG})
except KeyboardInterrupt:
    print(time.monotonic(), flush=True)
"""
POOL = f"""
import threading, velmora
from concurrent.futures import ThreadPoolExecutor
threading.Timer(0.3, lambda: print("running", flush=True)).start()
with ThreadPoolExecutor(2) as pool:
    pool.submit(velmora.basins, {LONG}).result()
"""


def ctrl_c(child_code, until_exit):
    child = subprocess.Popen([sys.executable, "-c", child_code], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, text=True)
    try:
        assert child.stdout.readline() == "running\n"
        sent = time.monotonic()
        child.send_signal(signal.SIGINT)
        if until_exit:
            child.wait(10)
            return time.monotonic() - sent
        raised = float(child.stdout.readline())
        child.wait(10)
    finally:
        child.kill()
    return raised - sent


def cancel():
    token, raised = velmora.Cancel(), []

    def run():
        try:
            velmora.basins(eval(LONG), cancel=token)
        except velmora.Cancelled:
            raised.append(time.monotonic())

    thread = threading.Thread(target=run)
    thread.start()
    time.sleep(0.3)
    sent = time.monotonic()
    token.cancel()
    thread.join()
    return raised[0] - sent


def spread(name, seconds, unit=1000, suffix="ms"):
    values = sorted(unit * s for s in seconds)
    print(f"{name} over {len(values)} rounds: best {values[0]:.1f} {suffix}, "
          f"median {statistics.median(values):.1f} {suffix}, worst {values[-1]:.1f} {suffix}")


def points_against_views(rounds):
    p = velmora.Parameters()
    rng = np.random.default_rng(1)
    ratios = []
    for _ in range(rounds):
        x, y = rng.uniform(400, 600, 1000), rng.uniform(300, 400, 1000)
        start = time.perf_counter()
        velmora.points(x, y, p)
        scattered = time.perf_counter() - start
        start = time.perf_counter()
        for k in range(1000):
            velmora.basins(p, view=(x[k], y[k], 1), size=(1, 1))
        ratios.append((time.perf_counter() - start) / scattered)
    spread("1000 one-point views / one points() of 1000", ratios, 1, "times")


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 20
    spread("Ctrl-C to KeyboardInterrupt", [ctrl_c(MAIN, False) for _ in range(rounds)])
    spread("cancel() to Cancelled", [cancel() for _ in range(rounds)])
    spread("Ctrl-C to the end of a thread-pool program",
           [ctrl_c(POOL, True) for _ in range(rounds)])
    points_against_views(max(1, rounds // 4))


main()
