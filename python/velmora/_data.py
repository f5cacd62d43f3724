"""Basins and sweeps as xarray datasets and Zarr stores; xarray and zarr are imported only here,
when asked for."""

from types import ModuleType, SimpleNamespace
from typing import Any, Optional, Sequence

import numpy as np

from ._velmora import Basins, Cancel, Parameters, basins, statistics

# Parameters whose values are not numbers swept one at a time.
_NOT_SWEPT = ("client", "picture", "one", "two", "shade")


def _xarray() -> ModuleType:
    try:
        import xarray
    except ImportError as error:
        raise ImportError("velmora needs xarray for datasets: install Debian's python3-xarray "
                          "(and python3-zarr for Zarr stores)") from error
    return xarray


def _attributes(parameters: Parameters) -> dict[str, Any]:
    """The parameters as attributes a Zarr store or netCDF file can hold."""
    return {name: list(value) if isinstance(value, tuple) else
            int(value) if isinstance(value, bool) else value
            for name, value in parameters.keywords().items()}


def _parameters(attributes: dict[str, Any]) -> Parameters:
    """The parameters _attributes() wrote."""
    keywords = {name: attributes[name] for name in Parameters().keywords() if name in attributes}
    for name, value in keywords.items():
        if isinstance(value, list):
            keywords[name] = tuple(value)
    keywords["shade"] = bool(keywords.get("shade", False))
    return Parameters(**keywords)


def basins_dataset(b: Basins) -> Any:
    """Basins.to_xarray()."""
    xr = _xarray()
    attributes = _attributes(b.parameters)
    attributes.update(view=list(b.view), kernel=b.kernel)
    return xr.Dataset({"outcome": (("y", "x"), b.outcome), "steps": (("y", "x"), b.steps)},
                      coords={"x": b.x, "y": b.y}, attrs=attributes)


def _flat(figures: dict[str, Any], prefix: str = "") -> dict[str, float]:
    """statistics() as one level: {"fraction": {"one": f}} as {"fraction_one": f}; null as NaN."""
    flat: dict[str, float] = {}
    for name, value in figures.items():
        if isinstance(value, dict):
            flat.update(_flat(value, prefix + name + "_"))
        else:
            flat[prefix + name] = np.nan if value is None else value
    return flat


def _statistic_names(entropy_box: int) -> list[str]:
    """Every figure statistics() may give, from points of each outcome."""
    every = SimpleNamespace(outcome=np.array([[0, 1], [2, 1]], np.uint8),
                            steps=np.ones((2, 2), np.uint64))
    return [name for name in _flat(statistics(every, entropy_box=2)) if name != "entropy_box"]


def _swept(parameter: str, parameters: Parameters) -> None:
    names = [name for name in parameters.keywords()
             if name not in _NOT_SWEPT and not isinstance(parameters.keywords()[name], str)]
    if parameter not in names:
        raise ValueError(f"parameter: expected one of {', '.join(names)}, got {parameter!r}")


def sweep(parameter: str, values: Sequence[int], parameters: Optional[Parameters] = None,
          view: Optional[Sequence[float]] = None, size: Optional[Sequence[int]] = None,
          threads: int = 0, kernel: str = "auto", cancel: Optional[Cancel] = None,
          entropy_box: int = 5) -> Any:
    """One basins() a value of parameter (a whole-number parameter such as 'mass_moving'), the
    others those of parameters: an xarray.Dataset with outcome and steps over (parameter, y, x)
    and each frame's statistics (as velmora.statistics() gives them, nested names joined by '_')
    over (parameter). Write it with .to_zarr(path)."""
    xr = _xarray()
    base = Parameters() if parameters is None else parameters
    _swept(parameter, base)
    values = list(values)
    frames = [basins(base.replace(**{parameter: value}), view=view, size=size, threads=threads,
                     kernel=kernel, cancel=cancel) for value in values]
    # Without frames, the coordinates of one in a step a start point.
    first = frames[0] if frames else basins(base.replace(step_limit=1), view=view, size=size,
                                            threads=threads)
    names = _statistic_names(entropy_box)
    figures = [_flat(statistics(frame, entropy_box=entropy_box)) for frame in frames]
    variables = {name: ((parameter,), np.array([f.get(name, np.nan) for f in figures], float))
                 for name in names}
    for name in ("outcome", "steps"):
        maps = [getattr(frame, name) for frame in frames]
        empty = np.zeros((0,) + first.outcome.shape, getattr(first, name).dtype)
        variables[name] = ((parameter, "y", "x"), np.stack(maps) if maps else empty)
    attributes = _attributes(base)
    del attributes[parameter]
    attributes.update(swept=parameter, view=list(first.view), size=list(first.outcome.shape[::-1]),
                      entropy_box=entropy_box)
    return xr.Dataset(variables, coords={parameter: np.array(values, np.int64), "x": first.x,
                                         "y": first.y}, attrs=attributes)


def sweep_store(path: str, parameter: str, values: Sequence[int],
                parameters: Optional[Parameters] = None, view: Optional[Sequence[float]] = None,
                size: Optional[Sequence[int]] = None, entropy_box: int = 5) -> None:
    """Makes the Zarr store at path for the sweep(parameter, values, ...) that sweep_shard()
    computes in parts, one frame a chunk: coordinates and attributes, nothing computed yet."""
    import zarr

    base = Parameters() if parameters is None else parameters
    # Coordinates and attributes without frames.
    template = sweep(parameter, [], base, view=view, size=size, threads=1,
                     entropy_box=entropy_box)
    width, height = template.attrs["size"]
    template = template.drop_vars(list(template.data_vars)).assign_coords(
        {parameter: np.array(list(values), np.int64)})
    template.to_zarr(path, mode="w", consolidated=False)
    group = zarr.open_group(path, mode="a")
    count = len(template[parameter])
    for name in _statistic_names(entropy_box):
        group.create(name, shape=(count,), chunks=(1,), dtype="f8", fill_value=np.nan)
        group[name].attrs["_ARRAY_DIMENSIONS"] = [parameter]
    # No fill value, which xarray would read as one to mask: a frame holds whatever it holds
    # until its shard writes it.
    for name, dtype in (("outcome", "u1"), ("steps", "u8")):
        group.create(name, shape=(count, height, width), chunks=(1, height, width), dtype=dtype,
                     fill_value=None)
        group[name].attrs["_ARRAY_DIMENSIONS"] = [parameter, "y", "x"]
    zarr.consolidate_metadata(path)


def sweep_shard(path: str, index: int, count: int, threads: int = 0, kernel: str = "auto",
                cancel: Optional[Cancel] = None) -> None:
    """Computes the index-th of count near-equal blocks of the frames of the store that
    sweep_store() made at path and writes them into their region of it: the shards of one
    sweep, each in a process (or a Slurm array's task) of its own."""
    xr = _xarray()
    if not 0 <= index < count:
        raise ValueError(f"index: expected 0 to count - 1 = {count - 1}, got {index}")
    store = xr.open_zarr(path)
    parameter = store.attrs["swept"]
    values = store[parameter].values
    start, stop = len(values) * index // count, len(values) * (index + 1) // count
    if start == stop:
        return
    part = sweep(parameter, values[start:stop], _parameters(store.attrs), view=store.attrs["view"],
                 size=store.attrs["size"], threads=threads, kernel=kernel, cancel=cancel,
                 entropy_box=store.attrs["entropy_box"])
    part.drop_vars(["x", "y"]).to_zarr(path, region={parameter: slice(start, stop)})
