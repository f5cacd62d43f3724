"""The compiled part of the package velmora."""

from typing import Any, Optional, Sequence, Union

import numpy as np
import numpy.typing as npt

__version__: str

_Reals = Union[Sequence[float], npt.NDArray[Any]]
_Integers = Union[Sequence[int], npt.NDArray[Any]]
_Coordinates = Union[float, Sequence[float], npt.NDArray[Any]]

class Cancelled(Exception):
    """Raised by a call whose Cancel token was cancelled, or that was running when the main
    thread got a KeyboardInterrupt."""

class Cancel:
    """A token that stops every call it is given: cancel() from any thread makes them raise
    Cancelled within a tenth of a second."""

    def __init__(self) -> None: ...
    def cancel(self) -> None: ...
    @property
    def cancelled(self) -> bool: ...

class Mass:
    """A fixed mass for Parameters(masses=[...]): its whole-number position, its weight
    (kilograms = weight x 10000, 1 to 32767), its capture radius (1 to 300) and its colour
    '#RRGGBB' (None: red for the first, blue for the second, then one of its own)."""

    def __init__(self, x: int, y: int, weight: int, radius: int,
                 color: Optional[str] = None) -> None: ...
    @property
    def x(self) -> int: ...
    @property
    def y(self) -> int: ...
    @property
    def weight(self) -> int: ...
    @property
    def radius(self) -> int: ...
    @property
    def color(self) -> Optional[str]: ...
    def __eq__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...

class Parameters:
    """What one picture is computed from: every option of velmora-render, with underscores for
    dashes, in the same units and ranges. A parameter not given takes the value start-up gives
    it for that client area; a value out of range raises ValueError naming the parameter."""

    def __init__(
        self,
        *,
        client: tuple[int, int] = ...,
        picture: tuple[int, int] = ...,
        masses: list[Mass] = ...,
        one: tuple[int, int] = ...,
        two: tuple[int, int] = ...,
        mass_one: int = ...,
        mass_two: int = ...,
        mass_moving: int = ...,
        radius_one: int = ...,
        radius_two: int = ...,
        one_x: int = ...,
        one_y: int = ...,
        two_x: int = ...,
        two_y: int = ...,
        step_limit: int | float = ...,
        color_one: str = ...,
        color_two: str = ...,
        background: str = ...,
        shade: bool = ...,
    ) -> None: ...
    @property
    def client(self) -> tuple[int, int]: ...
    @property
    def picture(self) -> tuple[int, int]: ...
    @property
    def masses(self) -> list[Mass]:
        """The fixed masses in mass order, each with its colour."""
    @property
    def one(self) -> tuple[int, int]: ...
    @property
    def two(self) -> tuple[int, int]: ...
    @property
    def mass_one(self) -> int: ...
    @property
    def mass_two(self) -> int: ...
    @property
    def mass_moving(self) -> int: ...
    @property
    def radius_one(self) -> int: ...
    @property
    def radius_two(self) -> int: ...
    @property
    def one_x(self) -> int: ...
    @property
    def one_y(self) -> int: ...
    @property
    def two_x(self) -> int: ...
    @property
    def two_y(self) -> int: ...
    @property
    def step_limit(self) -> int: ...
    @property
    def color_one(self) -> str: ...
    @property
    def color_two(self) -> str: ...
    @property
    def background(self) -> str: ...
    @property
    def shade(self) -> bool: ...
    def replace(self, **changes: Any) -> Parameters:
        """A copy with the given parameters changed, checked as the constructor checks them."""
    def keywords(self) -> dict[str, Any]:
        """Every parameter by name: Parameters(**p.keywords()) == p."""
    def __eq__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...

class Basins:
    """The outcome and step count of every start point of a view. Pickles; == compares the
    arrays, the view and the parameters."""

    @property
    def outcome(self) -> npt.NDArray[np.uint8]:
        """(height, width), rows top to bottom: 0 never captured, k mass k."""
    @property
    def steps(self) -> npt.NDArray[np.uint64]:
        """(height, width): the steps each start point took, the capturing one included."""
    @property
    def x(self) -> npt.NDArray[np.float64]:
        """(width,): each column's start x, rounded once to single precision."""
    @property
    def y(self) -> npt.NDArray[np.float64]:
        """(height,): each row's start y, top to bottom."""
    @property
    def extent(self) -> tuple[float, float, float, float]:
        """(left, right, bottom, top), for matplotlib.pyplot.imshow(outcome, extent=extent)."""
    @property
    def view(self) -> tuple[float, float, float]:
        """(x, y, spacing): the top-left start point and the distance between neighbours."""
    @property
    def parameters(self) -> Parameters: ...
    @property
    def kernel(self) -> str:
        """The kernel that computed it: 'scalar' or 'avx2'."""
    def to_xarray(self) -> Any:
        """An xarray.Dataset: outcome and steps over (y, x), the parameters as attributes."""
    def _repr_png_(self) -> bytes: ...
    def __eq__(self, other: object) -> bool: ...

class Trajectory:
    """The path of the moving mass from one start point."""

    @property
    def positions(self) -> npt.NDArray[np.float64]:
        """(n, 2): the start point, then (x, y) after each step that moved the mass."""
    @property
    def outcome(self) -> int:
        """0 never captured, k mass k."""
    @property
    def steps(self) -> int:
        """Steps taken, the capturing one included."""
    def __eq__(self, other: object) -> bool: ...

def basins(
    parameters: Parameters,
    view: Optional[_Reals] = None,
    size: Optional[_Integers] = None,
    threads: int = 0,
    kernel: str = "auto",
    cancel: Optional[Cancel] = None,
) -> Basins:
    """Every start point's outcome and step count, exactly as velmora-render computes them:
    the view of size[0] x size[1] start points from (x, y), spacing apart, or without a view
    the picture rectangle's. Releases the GIL; Ctrl-C or cancel.cancel() abandons it."""

def points(
    x: _Coordinates,
    y: _Coordinates,
    parameters: Parameters,
    threads: int = 0,
    kernel: str = "auto",
    cancel: Optional[Cancel] = None,
) -> tuple[npt.NDArray[np.uint8], npt.NDArray[np.uint64]]:
    """The outcome and steps of each start point (x, y), x rounded to single precision."""

def statistics(result: Any, entropy_box: int = 5, wada: bool = False) -> dict[str, Any]:
    """The figures velmora-render --stats writes as JSON."""

def picture(
    parameters: Parameters, threads: int = 0, kernel: str = "auto",
    cancel: Optional[Cancel] = None,
) -> npt.NDArray[np.uint8]:
    """The drawing surface velmora-render writes, (height, width, 3) red, green and blue."""

def trajectory(
    parameters: Parameters, x: float, y: float, limit: int = 1000000,
    cancel: Optional[Cancel] = None,
) -> Trajectory:
    """The path from the start point (x, y), x rounded to single precision, for at most limit
    steps."""

def _interrupt_running() -> None: ...
def _basins(*state: Any) -> Basins: ...
def _trajectory(*state: Any) -> Trajectory: ...
