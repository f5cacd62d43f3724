"""The package as a researcher uses it: types, cancellation, coordinates, scattered points,
pickles, datasets, Zarr shards and pictures."""

import io
import json
import os
import pickle
import select
import signal
import subprocess
import sys
import threading

import numpy as np
import pytest

import velmora

RENDER = os.environ["VELMORA_RENDER"]
# About ten seconds of steps on one core, unless cancelled.
LONG = velmora.Parameters(client=(300, 300), picture=(300, 300), mass_one=1, mass_two=1,
                          mass_moving=1, step_limit=20000)
KEYWORDS = {"one": (70, 60), "two": (92, 61), "mass_two": 20, "radius_one": 3, "step_limit": 300}
VIEW, SIZE = (57.3, 41.1, 0.37), (32, 24)
# The background, mass one's and mass two's colours by default.
COLOURS = np.array([[255, 255, 255], [255, 0, 0], [0, 0, 255]], np.uint8)


def test_mypy_finds_the_types(tmp_path):
    script = tmp_path / "typed.py"
    script.write_text("import velmora\n"
                      "b = velmora.basins(velmora.Parameters(), cancel=velmora.Cancel())\n"
                      "wrong: str = b.x\n")
    found = subprocess.run([sys.executable, "-m", "mypy", "--no-incremental", str(script)],
                           capture_output=True, text=True, cwd=tmp_path)
    assert "typed.py:3: error: Incompatible types in assignment" in found.stdout, found.stdout
    assert "Found 1 error in 1 file" in found.stdout, found.stdout


def test_the_version_is_the_programs():
    version = subprocess.run([RENDER, "--version"], capture_output=True, text=True).stdout
    assert version.split() == ["velmora-render", velmora.__version__]


def test_cancel_from_another_thread():
    token, outcome = velmora.Cancel(), []

    def run():
        try:
            velmora.basins(LONG, threads=1, cancel=token)
            outcome.append("finished")
        except velmora.Cancelled:
            outcome.append("cancelled")

    thread = threading.Thread(target=run)
    thread.start()
    thread.join(0.3)
    token.cancel()
    thread.join()
    assert outcome == ["cancelled"] and token.cancelled


POOL = """
import sys, velmora
from concurrent.futures import ThreadPoolExecutor
p = velmora.Parameters(client=(300, 300), picture=(300, 300), mass_one=1, mass_two=1,
                       mass_moving=1, step_limit=20000)
def work():
    try:
        velmora.basins(p, threads=1)
        print("finished", flush=True)
    except velmora.Cancelled:
        print("cancelled", flush=True)
with ThreadPoolExecutor(2) as pool:
    pool.submit(print, "running", flush=True)
    pool.submit(work).result()
"""


def test_ctrl_c_cancels_calls_in_other_threads():
    child = subprocess.Popen([sys.executable, "-c", POOL], stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, text=True)
    assert child.stdout.readline() == "running\n"
    select.select([], [], [], 0.3)
    child.send_signal(signal.SIGINT)
    out, err = child.communicate()
    assert out == "cancelled\n" and "KeyboardInterrupt" in err


def test_coordinates_and_points_are_the_start_points():
    p = velmora.Parameters(**KEYWORDS)
    # Start points of every outcome, X + i S rarely a single.
    x0, y0, spacing = VIEW
    b = velmora.basins(p, view=[x0, y0, spacing], size=np.array([40, 30]))
    assert b == velmora.basins(p, view=(x0, y0, spacing), size=(40, 30))
    exact = x0 + np.arange(40) * spacing
    assert np.array_equal(b.x, exact.astype(np.float32)) and not np.array_equal(b.x, exact)
    assert len(np.unique(b.outcome)) == 3
    assert np.array_equal(b.y, y0 + np.arange(30) * spacing)
    data = b.to_xarray()
    assert data.outcome.dims == ("y", "x") and np.array_equal(data.x, b.x)
    assert velmora._data._parameters(data.attrs) == p

    # Scattered, in any order: the unrounded x gives the grid's own start points.
    rows, columns = np.meshgrid(np.arange(30), np.arange(40), indexing="ij")
    order = np.random.default_rng(1).permutation(rows.size)
    j, i = rows.ravel()[order], columns.ravel()[order]
    outcome, steps = velmora.points(exact[i], b.y[j], p, threads=3)
    assert np.array_equal(outcome, b.outcome[j, i]) and np.array_equal(steps, b.steps[j, i])


@pytest.mark.parametrize("protocol", range(pickle.HIGHEST_PROTOCOL + 1))
def test_results_pickle(protocol):
    p = velmora.Parameters(**KEYWORDS)
    b = velmora.basins(p, view=VIEW, size=SIZE)
    t = velmora.trajectory(p, 70.5, 62.25)
    for result, other in ((b, velmora.basins(p.replace(mass_two=21), view=VIEW, size=SIZE)),
                          (t, velmora.trajectory(p, 70.5, 62.5))):
        copy = pickle.loads(pickle.dumps(result, protocol))
        assert copy == result and copy != other and type(copy) is type(result)
    assert pickle.loads(pickle.dumps(b, protocol)).extent == b.extent


def read_bitmap(data):
    offset, width, height = (int.from_bytes(data[a:a + 4], "little") for a in (10, 18, 22))
    stride = (3 * width + 3) // 4 * 4
    rows = np.frombuffer(data, np.uint8, stride * height, offset).reshape(height, stride)
    return rows[::-1, : 3 * width].reshape(height, width, 3)[:, :, ::-1]


def test_a_sweep_is_the_renderers(tmp_path):
    options = ["--one", "70,60", "--two", "92,61", "--mass-two", "20", "--radius-one", "3",
               "--step-limit", "300", "--view", "57.3,41.1,0.37", "--size", "32x24"]
    subprocess.run([RENDER, *options, "--sweep", "mass-moving=10:30:10", "--stats",
                    tmp_path / "s.json", tmp_path / "f%02d.bmp"], check=True, capture_output=True)
    frames = json.loads((tmp_path / "s.json").read_text())
    p = velmora.Parameters(**KEYWORDS)
    data = velmora.sweep("mass_moving", [10, 20, 30], p, view=VIEW, size=SIZE)
    for k, frame in enumerate(frames):
        picture = read_bitmap((tmp_path / f"f{k:02d}.bmp").read_bytes())
        assert np.array_equal(COLOURS[data.outcome[k].values], picture)
        flat = velmora._data._flat(frame)
        for name in data.data_vars:
            if name in flat:
                assert data[name][k].values == pytest.approx(flat[name], nan_ok=True), name


SHARD = "import sys, velmora; velmora.sweep_shard(sys.argv[1], int(sys.argv[2]), 3, threads=1)"


def test_three_processes_write_one_zarr_store(tmp_path):
    xarray = pytest.importorskip("xarray")
    store = str(tmp_path / "sweep.zarr")
    p = velmora.Parameters(**KEYWORDS)
    values = [10, 15, 20, 25, 30]
    velmora.sweep_store(store, "mass_moving", values, p, view=VIEW, size=SIZE)
    shards = [subprocess.Popen([sys.executable, "-c", SHARD, store, str(k)]) for k in range(3)]
    assert [shard.wait() for shard in shards] == [0, 0, 0]
    whole = velmora.sweep("mass_moving", values, p, view=VIEW, size=SIZE)
    assert xarray.open_zarr(store).load().identical(whole)


def test_pictures_in_the_renderers_colours():
    matplotlib = pytest.importorskip("matplotlib")
    matplotlib.use("Agg")
    import matplotlib.image
    import matplotlib.pyplot

    b = velmora.basins(velmora.Parameters(**KEYWORDS, color_two="#10a020"), view=VIEW, size=SIZE)
    expected = np.array([*COLOURS[:2], [16, 160, 32]], np.uint8)[b.outcome]
    shown = matplotlib.image.imread(io.BytesIO(b._repr_png_()))
    assert np.array_equal(np.rint(shown * 255).astype(np.uint8), expected)
    figure, ax = matplotlib.pyplot.subplots()
    image = velmora.plot(b, ax=ax)
    assert np.array_equal(image.get_array(), expected) and tuple(image.get_extent()) == b.extent
    labels = [text.get_text() for text in ax.get_legend().get_texts()]
    assert labels[0].startswith("mass one 10 at (70, 60)") and len(labels) == 3
    matplotlib.pyplot.close(figure)
