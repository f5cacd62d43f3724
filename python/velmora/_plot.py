"""Basins as pictures: PNG for notebooks and matplotlib figures, in the renderer's colours."""

import struct
import zlib
from typing import Any, Optional

import numpy as np
import numpy.typing as npt

from ._velmora import Basins


_WORDS = ("one two three four five six seven eight nine ten eleven twelve thirteen fourteen "
          "fifteen sixteen").split()


def colours(b: Basins) -> npt.NDArray[np.uint8]:
    """Red, green and blue of outcome 0 (the background) and of each mass k's outcome k, as the
    renderer paints them."""
    p = b.parameters
    return np.array([[int(c[i:i + 2], 16) for i in (1, 3, 5)]
                     for c in [p.background] + [m.color for m in p.masses]], np.uint8)


def rgb(b: Basins) -> npt.NDArray[np.uint8]:
    """(height, width, 3): every start point in its outcome's colour."""
    return colours(b)[b.outcome]


def png(b: Basins) -> bytes:
    """The start points as an 8-bit RGB PNG, one pixel each."""
    image = rgb(b)
    height, width, _ = image.shape
    rows = np.zeros((height, 1 + 3 * width), np.uint8)  # each row's filter byte: none
    rows[:, 1:] = image.reshape(height, 3 * width)

    def chunk(kind: bytes, data: bytes) -> bytes:
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(rows.tobytes())) + chunk(b"IEND", b""))


def plot(b: Basins, ax: Optional[Any] = None) -> Any:
    """Draws b on the matplotlib axes ax (the current ones without): every start point in the
    renderer's colour at its place in the plane, y growing downward as on the screen, with a
    legend of the masses. Returns the image."""
    import matplotlib.patches
    import matplotlib.pyplot

    if ax is None:
        ax = matplotlib.pyplot.gca()
    image = ax.imshow(rgb(b), extent=b.extent, interpolation="nearest")
    p = b.parameters
    names = [f"mass {word} {m.weight} at ({m.x}, {m.y})" for word, m in zip(_WORDS, p.masses)]
    patches = [matplotlib.patches.Patch(facecolor=np.append(colours(b)[k] / 255, 1.0),
                                        edgecolor="gray", label=name)
               for k, name in zip([*range(1, len(names) + 1), 0], names + ["never captured"])]
    ax.legend(handles=patches, loc="upper right", fontsize="small")
    ax.set_xlabel("x")
    ax.set_ylabel("y")
    return image
