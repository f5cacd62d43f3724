"""The module against velmora-render: the same parameters give the same arrays and figures."""

import gc
import json
import os
import pickle
import select
import signal
import subprocess
import sys
import types
from pathlib import Path

import numpy as np
import pytest

import velmora

RENDER = os.environ["VELMORA_RENDER"]

# Parameter sets as keyword arguments; the renderer gets them as options.
CASES = [
    {},
    {"client": (160, 120), "picture": (60, 40), "one": (70, 60), "two": (92, 61),
     "mass_two": 20, "mass_moving": 400, "radius_one": 3, "step_limit": 300,
     "color_one": "#00ff00", "background": "#101010", "shade": True},
    {"client": (90, 70), "picture": (90, 70), "mass_one": 3, "radius_two": 12,
     "step_limit": 40},
]


def options(keywords):
    """The renderer's options for keyword arguments."""
    result = []
    for name, value in keywords.items():
        option = "--" + name.replace("_", "-")
        if value is True:
            result.append(option)
        elif name in ("client", "picture"):
            result += [option, "%dx%d" % value]
        elif isinstance(value, tuple):
            result += [option, "%d,%d" % value]
        else:
            result += [option, str(value)]
    return result


def read_bitmap(data):
    """A 24-bit bottom-up bitmap as an (h, w, 3) array of red, green and blue."""
    offset = int.from_bytes(data[10:14], "little")
    width = int.from_bytes(data[18:22], "little")
    height = int.from_bytes(data[22:26], "little")
    stride = (3 * width + 3) // 4 * 4
    rows = np.frombuffer(data, np.uint8, stride * height, offset).reshape(height, stride)
    return rows[::-1, : 3 * width].reshape(height, width, 3)[:, :, ::-1]


def render(tmp_path, keywords, *more):
    """The renderer's surface and statistics."""
    picture, stats = tmp_path / "p.bmp", tmp_path / "s.json"
    subprocess.run([RENDER, *options(keywords), *more, "--stats", stats, picture], check=True,
                   capture_output=True)
    return read_bitmap(picture.read_bytes()), json.loads(stats.read_text())


@pytest.mark.parametrize("keywords", CASES)
@pytest.mark.parametrize("kernel,threads", [("auto", 0), ("scalar", 3)])
def test_arrays_equal_the_renderer(tmp_path, keywords, kernel, threads):
    surface, stats = render(tmp_path, keywords)
    parameters = velmora.Parameters(**keywords)
    assert np.array_equal(velmora.picture(parameters, threads=threads, kernel=kernel), surface)
    result = velmora.basins(parameters, threads=threads, kernel=kernel)
    assert velmora.statistics(result) == stats

    # Every captured start point has its mass's colour on the unshaded surface (one never
    # captured may lie on a capture circle).
    left, right, bottom, top = result.extent
    columns = slice(int(left + 0.5), int(right + 0.5))
    rows = slice(int(top + 0.5), int(bottom + 0.5))
    unshaded = velmora.picture(parameters.replace(shade=False))[rows, columns]
    for outcome, colour in ((1, parameters.color_one), (2, parameters.color_two)):
        rgb = [int(colour[i : i + 2], 16) for i in (1, 3, 5)]
        assert np.all(unshaded[result.outcome == outcome] == rgb)


def test_a_view_equals_the_renderers_and_its_trajectories(tmp_path):
    keywords = {"one": (70, 60), "two": (92, 61), "mass_two": 20, "mass_moving": 400,
                "radius_one": 3, "step_limit": 300, "color_one": "#00ff00"}
    parameters = velmora.Parameters(**keywords)
    x, y, spacing = 57.3, 41.1, 0.37
    result = velmora.basins(parameters, view=(x, y, spacing), size=(64, 48))
    surface, stats = render(tmp_path, keywords, "--view", "57.3,41.1,0.37", "--size", "64x48")
    colours = [[int(c[i : i + 2], 16) for i in (1, 3, 5)]
               for c in (parameters.background, parameters.color_one, parameters.color_two)]
    assert np.array_equal(np.array(colours, np.uint8)[result.outcome], surface)
    assert velmora.statistics(result) == stats
    half = spacing / 2
    assert result.extent == (np.float32(x) - half, np.float32(x + 63 * spacing) + half,
                             y + 47 * spacing + half, y - half)
    for j, i in [(0, 0), (7, 31), (47, 63), (20, 2), (33, 40)]:
        path = velmora.trajectory(parameters, x + i * spacing, y + j * spacing)
        assert (path.outcome, path.steps) == (result.outcome[j, i], result.steps[j, i])
        assert tuple(path.positions[0]) == (np.float32(x + i * spacing), y + j * spacing)
        assert len(path.positions) == path.steps + (path.outcome == 0)
    # Between the default masses the mass never moves: the start point alone.
    assert len(velmora.trajectory(velmora.Parameters(), 512, 350).positions) == 1


@pytest.mark.parametrize("call,name,accepts", [
    (lambda: velmora.Parameters(mass_one=0), "mass_one", "1 to 32767"),
    (lambda: velmora.Parameters(radius_two=301), "radius_two", "1 to 300"),
    (lambda: velmora.Parameters(client=(1, 700)), "client", "2 to 16384"),
    (lambda: velmora.Parameters(client=(50, 50)), "client", "picture"),
    (lambda: velmora.Parameters(client=(200, 100), one=(16385, 5)), "one_x", "0 to 16384"),
    (lambda: velmora.Parameters(picture=(1025, 10)), "picture", "2 to 1024"),
    (lambda: velmora.Parameters(step_limit=10**14 + 1), "step_limit", "1 to 1e14"),
    # Fractions are refused, never cut to a whole number.
    (lambda: velmora.Parameters(mass_one=2.5), "mass_one", "whole number"),
    (lambda: velmora.Parameters(one=(10.5, 20)), "one_x", "whole number"),
    (lambda: velmora.Parameters(step_limit=1500.5), "step_limit", "whole number"),
    (lambda: velmora.Parameters(background="#12345"), "background", "#RRGGBB"),
    (lambda: velmora.basins(velmora.Parameters(), threads=-1), "threads", "0"),
    (lambda: velmora.basins(velmora.Parameters(), view=(1e6, 0, 1e-3), size=(9, 9)), "view",
     "spacing of at least 0.0625"),
    (lambda: velmora.basins(velmora.Parameters(), kernel="fast"), "kernel", "scalar"),
    (lambda: velmora.statistics(velmora.basins(velmora.Parameters()), entropy_box=101),
     "entropy_box", "2 to 100"),
])
def test_bad_values_name_the_parameter(call, name, accepts):
    with pytest.raises(ValueError) as error:
        call()
    assert str(error.value).startswith(name + ": ") and accepts in str(error.value)


def maps(outcome, steps=None):
    """An object with the arrays statistics() reads."""
    return types.SimpleNamespace(outcome=outcome,
                                 steps=np.zeros(outcome.shape, np.uint64) if steps is None
                                 else steps)


class NoMemory:
    def __array__(self, dtype=None):  # as when memory runs out while it is converted
        raise MemoryError


HALF_MADE = [lambda: velmora.Parameters.__new__(velmora.Parameters),
             lambda: velmora.Basins.__new__(velmora.Basins),
             lambda: velmora.Trajectory.__new__(velmora.Trajectory)]


@pytest.mark.parametrize("call,error,text", [
    (lambda: velmora.statistics(maps(np.zeros((1, 2**31 + 8), np.uint8))), ValueError, "rows"),
    (lambda: velmora.statistics(maps(np.zeros((2**31 + 8, 1), np.uint8))), ValueError, "rows"),
    (lambda: velmora.statistics(maps(np.full((3, 3), np.nan))), TypeError, "integers"),
    (lambda: velmora.statistics(maps(np.array([[257, 1]]))), ValueError, "257"),
    # Steps of the transposed shape: as many, but not where the outcomes are.
    (lambda: velmora.statistics(maps(np.ones((2, 3), np.uint8), np.ones((3, 2), np.uint64))),
     ValueError, "steps: expected the shape of outcome"),
    (lambda: velmora.Mass(10, 20.5, 3, 4), TypeError, "y: expected an integer"),
    (lambda: velmora.statistics(maps(np.ones((2, 2), np.uint8), NoMemory())), MemoryError, ""),
    (lambda: velmora.Parameters().__setstate__({"mass_one": 0}), AttributeError, "setstate"),
    (lambda: HALF_MADE[1]().outcome, TypeError, "__new__"),
    (lambda: HALF_MADE[2]().steps, TypeError, "__new__"),
    (lambda: velmora.basins(HALF_MADE[0]()), TypeError, "__new__"),
])
def test_bad_objects_raise(call, error, text):
    with pytest.raises(error) as raised:
        call()
    assert text in str(raised.value)


@pytest.mark.parametrize("protocol", range(pickle.HIGHEST_PROTOCOL + 1))
def test_pickling_with_every_protocol(protocol):
    parameters = velmora.Parameters(mass_one=7, one=(400, 300))
    assert pickle.loads(pickle.dumps(parameters, protocol)) == parameters
    for make in HALF_MADE:
        with pytest.raises(TypeError):
            pickle.dumps(make(), protocol)


P = velmora.Parameters()


@pytest.mark.parametrize("call,error,starts", [
    (lambda: velmora.basins(P, view=[1, 2], size=(3, 3)), ValueError, "view: "),
    (lambda: velmora.basins(P, view="abc", size=(3, 3)), TypeError, "view: "),
    (lambda: velmora.basins(P, view=(1, "2", 1), size=(3, 3)), TypeError, "view: "),
    (lambda: velmora.basins(P, view=(1, 2, 1), size=(3.0, 3)), TypeError, "size: "),
    (lambda: velmora.basins(P, view=(1, 2, 1)), ValueError, "size: "),
    (lambda: velmora.basins(P, threads="2"), TypeError, "threads: "),
    (lambda: velmora.basins(P, kernel=1), TypeError, "kernel: "),
    (lambda: velmora.basins(P, cancel=True), TypeError, "cancel: "),
    (lambda: velmora.basins({}), TypeError, "parameters: "),
    (lambda: velmora.basins(P, colour=1), TypeError, "basins() got an unexpected keyword"),
    (lambda: velmora.basins(), TypeError, "basins() missing required argument 'parameters'"),
    (lambda: velmora.statistics(P, bins=3), TypeError, "statistics() got an unexpected"),
    (lambda: velmora.statistics(P), TypeError, "result: "),
    (lambda: velmora.picture(P, 0, "auto", None, 1), TypeError, "picture() takes at most 4"),
    (lambda: velmora.trajectory(P, 1, 2, steps=3), TypeError, "trajectory() got an unexpected"),
    (lambda: velmora.trajectory(P, float("nan"), 2), ValueError, "x: "),
    (lambda: velmora.trajectory(P, 1, 1e308), ValueError, "y: "),
    (lambda: velmora.trajectory(P, 1, 2, limit=0), ValueError, "limit: "),
    (lambda: velmora.points(["a"], [1], P), TypeError, "x: "),
    (lambda: velmora.points([1, 2], [1, 2, 3], P), ValueError, "y: "),
    (lambda: velmora.points([1], [float("inf")], P), ValueError, "y: "),
    (lambda: velmora.sweep("client", [1]), ValueError, "parameter: "),
])
def test_bad_arguments_name_themselves(call, error, starts):
    with pytest.raises(error) as raised:
        call()
    assert str(raised.value).startswith(starts), raised.value


def test_arrays_outlive_their_result():
    # Above 32 MB, memory freed with the result would go back to the system at once.
    parameters = velmora.Parameters(client=(2100, 2000), picture=(2100, 2000), step_limit=1)
    result = velmora.basins(parameters)
    outcome, steps = result.outcome, result.steps
    kept = outcome.copy(), steps.copy()
    del result
    gc.collect()
    velmora.basins(parameters.replace(step_limit=2))
    assert np.array_equal(outcome, kept[0]) and np.array_equal(steps, kept[1])


CHILD = """
import sys, threading, time, velmora
def running():
    time.sleep(0.5)
    print("running", flush=True)
threading.Thread(target=running, daemon=True).start()
velmora.basins(velmora.Parameters(client=(300, 300), picture=(300, 300), mass_one=1,
                                  mass_two=1, mass_moving=1))
print("finished", flush=True)
"""


def test_ctrl_c_abandons_a_long_render():
    # Hours of steps; a Python thread prints while they run.
    child = subprocess.Popen([sys.executable, "-c", CHILD], stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, text=True)
    try:
        ready, _, _ = select.select([child.stdout], [], [], 30)
        assert ready and child.stdout.readline() == "running\n"
        child.send_signal(signal.SIGINT)
        out, err = child.communicate(timeout=30)
    finally:
        child.kill()
    assert "KeyboardInterrupt" in err and out == "" and child.returncode == -signal.SIGINT


def test_the_stubs_name_every_parameter():
    stubs = (Path(velmora.__file__).parent / "_velmora.pyi").read_text()
    for name in velmora.Parameters().keywords():
        assert f"\n        {name}: " in stubs and f"\n    def {name}(self)" in stubs


def test_module_needs_no_widgets():
    """The module draws no window and no chart: neither library is among those it loads."""
    libraries = subprocess.run(["ldd", velmora._velmora.__file__], capture_output=True, text=True,
                               check=True).stdout
    assert "libQt6Core" in libraries
    assert "libQt6Widgets" not in libraries and "libQt6Charts" not in libraries


TOO_LARGE = """
import resource, velmora
resource.setrlimit(resource.RLIMIT_AS, (1 << 30, 1 << 30))
try:
    velmora.basins(velmora.Parameters(), view=(0, 0, 1), size=(16384, 16384))
except MemoryError as e:
    print(e)
"""


def test_arrays_beyond_memory_are_refused_naming_the_size():
    child = subprocess.run([sys.executable, "-c", TOO_LARGE], capture_output=True, text=True,
                           timeout=120)
    assert child.returncode == 0, child.stderr
    assert child.stdout.startswith("size 16384 x 16384: ")
