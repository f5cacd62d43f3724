"""How soon Ctrl-C ends a computation of the Python module: the time from SIGINT to the
KeyboardInterrupt in the interpreter that computes, over N rounds (default 20).

    PYTHONPATH=build/python python3 bench/python_interrupt.py [N]
"""

import signal
import statistics
import subprocess
import sys
import time

CHILD = """
import sys, threading, time, velmora
threading.Timer(0.3, lambda: print("running", flush=True)).start()
try:
    velmora.basins(velmora.Parameters(client=(300, 300), picture=(300, 300), mass_one=1,
                                      mass_two=1, mass_moving=1))
except KeyboardInterrupt:
    print(time.monotonic(), flush=True)
"""


def one_round():
    child = subprocess.Popen([sys.executable, "-c", CHILD], stdout=subprocess.PIPE, text=True)
    try:
        assert child.stdout.readline() == "running\n"
        sent = time.monotonic()
        child.send_signal(signal.SIGINT)
        raised = float(child.stdout.readline())
        child.wait(10)
    finally:
        child.kill()
    return raised - sent


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 20
    delays = sorted(1000 * one_round() for _ in range(rounds))
    print(f"Ctrl-C to KeyboardInterrupt over {rounds} rounds: best {delays[0]:.1f} ms, "
          f"median {statistics.median(delays):.1f} ms, worst {delays[-1]:.1f} ms")


main()
