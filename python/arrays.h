#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <memory>
#include <utility>
#include <vector>

namespace velmora_python {

/// A NumPy array that takes over the values' memory without copying them: a capsule owns the
/// vector and frees it when the last array viewing it is gone, whatever happened to the object
/// that computed it. shape lists the sizes, outermost first, C order.
template <typename T>
pybind11::array_t<T> ownedArray(std::vector<T> &&values, std::vector<pybind11::ssize_t> shape)
{
    auto owner = std::make_unique<std::vector<T>>(std::move(values));
    T *data = owner->data();
    pybind11::capsule capsule(owner.get(),
                              [](void *p) { delete static_cast<std::vector<T> *>(p); });
    owner.release();
    return pybind11::array_t<T>(std::move(shape), data, capsule);
}

} // namespace velmora_python
