"""The basins of attraction of fixed masses, computed exactly as velmora-render computes them,
as NumPy arrays, xarray datasets and Zarr stores.

    p = velmora.Parameters(mass_moving=80)
    b = velmora.basins(p)
    velmora.plot(b)

A KeyboardInterrupt in the main thread cancels the calls running in every thread: importing
velmora from the main thread, while Ctrl-C has Python's own handler, puts a handler there that
does so before it raises KeyboardInterrupt as Python's does.
"""

import signal
import threading
from types import FrameType
from typing import Optional

from . import _velmora
from ._data import sweep, sweep_shard, sweep_store
from ._plot import plot
from ._velmora import (Basins, Cancel, Cancelled, Mass, Parameters, Trajectory, __version__, basins,
                       picture, points, statistics, trajectory)

__all__ = ["Basins", "Cancel", "Cancelled", "Mass", "Parameters", "Trajectory", "__version__", "basins",
           "picture", "plot", "points", "statistics", "sweep", "sweep_shard", "sweep_store",
           "trajectory"]


def _restore_basins(*state: object) -> Basins:
    return _velmora._basins(*state)


def _restore_trajectory(*state: object) -> Trajectory:
    return _velmora._trajectory(*state)


def _interrupt(number: int, frame: Optional[FrameType]) -> None:
    _velmora._interrupt_running()
    signal.default_int_handler(number, frame)


if (threading.current_thread() is threading.main_thread()
        and signal.getsignal(signal.SIGINT) is signal.default_int_handler):
    signal.signal(signal.SIGINT, _interrupt)
