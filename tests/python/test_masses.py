"""Fields of other numbers of masses, and how their basins meet, against the renderer and NumPy."""

import json
import os
import subprocess

import numpy as np
import pytest

import velmora

RENDER = os.environ["VELMORA_RENDER"]
Mass = velmora.Mass
TRIANGLE = [Mass(502, 356, 10, 5), Mass(522, 356, 10, 5), Mass(512, 339, 10, 5, "#00c000")]


def test_three_masses_equal_the_renderer(tmp_path):
    parameters = velmora.Parameters(masses=TRIANGLE, mass_moving=70)
    result = velmora.basins(parameters, view=(496.5, 333.25, 0.75), size=(44, 36))
    picture, stats = tmp_path / "p.bmp", tmp_path / "s.json"
    masses = []
    for m in TRIANGLE:
        masses += ["--mass", ",".join(map(str, (m.x, m.y, m.weight, m.radius)))
                   + ("," + m.color if m.color else "")]
    subprocess.run([RENDER, "--view", "496.5,333.25,0.75", "--size", "44x36", *masses,
                    "--mass-moving", "70", "--wada", "--stats", stats, picture], check=True,
                   capture_output=True)
    assert velmora.statistics(result, wada=True) == json.loads(stats.read_text())
    assert set(np.unique(result.outcome)) == {1, 2, 3}
    assert [m.color for m in parameters.masses] == ["#ff0000", "#0000ff", "#00c000"]
    assert velmora.Parameters(**parameters.keywords()) == parameters


def wada_by_numpy(outcome, masses):
    """meet and not_wada worked out directly, block by block."""
    h, w = outcome.shape
    padded = np.pad(outcome.astype(int), 1, constant_values=-1)
    boundary = np.zeros((h, w), bool)
    for dy, dx in ((0, 1), (0, -1), (1, 0), (-1, 0)):
        neighbour = padded[1 + dy : h + 1 + dy, 1 + dx : w + 1 + dx]
        boundary |= (neighbour >= 0) & (neighbour != outcome)
    points = list(zip(*np.nonzero(boundary)))

    def block(y, x, r):
        return outcome[max(0, y - r) : y + r + 1, max(0, x - r) : x + r + 1]

    distinct = [len(set(block(y, x, 1).ravel()) - {0}) for y, x in points]
    meet = [distinct.count(m) / len(points) for m in range(1, masses + 1)]
    not_wada = {}
    for r in (1, 2, 4, 8, 16):
        if 2 * r + 1 > min(h, w):
            not_wada[str(r)] = None
            continue
        missing = [any(np.all(b == k) or not np.any(b == k) for k in range(1, masses + 1))
                   for b in (block(y, x, r) for y, x in points)]
        not_wada[str(r)] = sum(missing) / len(points)
    return {"meet": meet, "not_wada": not_wada}


class Patchwork:
    """An outcome map of four masses' patches, the fourth nowhere, with its parameters."""

    def __init__(self):
        rng = np.random.default_rng(5)
        self.outcome = np.kron(rng.integers(0, 4, (6, 9)), np.ones((3, 2), int)).astype(np.uint8)
        self.outcome[rng.random(self.outcome.shape) < 0.1] = 2
        self.steps = np.ones(self.outcome.shape, np.uint64)
        self.parameters = velmora.Parameters(masses=TRIANGLE + [Mass(1, 1, 1, 1)])


@pytest.mark.parametrize("result,masses", [
    (velmora.basins(velmora.Parameters(masses=TRIANGLE), view=(497, 334, 1.5), size=(23, 21)), 3),
    (velmora.basins(velmora.Parameters(), view=(480, 330, 1), size=(60, 40)), 2),
    (Patchwork(), 4),
])
def test_wada_equals_a_direct_count(result, masses):
    assert velmora.statistics(result, wada=True)["wada"] == wada_by_numpy(result.outcome, masses)
