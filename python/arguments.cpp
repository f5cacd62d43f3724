#include "arguments.h"

#include "interruptible.h"
#include "parameters.h"

#include "scene/framing.h"

#include <algorithm>

namespace py = pybind11;

namespace velmora_python {

namespace {

std::string typeName(py::handle value)
{
    return py::str(py::type::handle_of(value).attr("__name__"));
}

[[noreturn]] void badType(const char *name, const std::string &accepts, py::handle value)
{
    throw py::type_error(std::string(name) + ": expected " + accepts + ", got " +
                         typeName(value) + " " + std::string(py::repr(value)));
}

bool isText(py::handle value)
{
    return PyUnicode_Check(value.ptr()) || PyBytes_Check(value.ptr()) ||
           PyByteArray_Check(value.ptr());
}

} // namespace

Arguments::Arguments(const char *function, std::initializer_list<const char *> names,
                     const py::args &positional, const py::kwargs &keywords)
{
    for (const char *name : names) {
        std::string n = name;
        if (n.back() == '=')
            n.pop_back();
        names_.push_back(n);
        values_.push_back(py::object());
    }
    const std::string call = std::string(function) + "()";
    if (positional.size() > names_.size()) {
        throw py::type_error(call + " takes at most " + std::to_string(names_.size()) +
                             " positional arguments, got " + std::to_string(positional.size()));
    }
    for (std::size_t i = 0; i < positional.size(); ++i)
        values_[i] = positional[i];
    for (const auto &item : keywords) {
        const std::string key = py::str(item.first);
        const auto at = std::find(names_.begin(), names_.end(), key);
        if (at == names_.end())
            throw py::type_error(call + " got an unexpected keyword argument '" + key + "'");
        py::object &value = values_[std::size_t(at - names_.begin())];
        if (value)
            throw py::type_error(call + " got multiple values for argument '" + key + "'");
        value = py::reinterpret_borrow<py::object>(item.second);
    }
    std::size_t i = 0;
    for (const char *name : names) {
        if (std::string(name).back() != '=' && !values_[i])
            throw py::type_error(call + " missing required argument '" + names_[i] + "'");
        ++i;
    }
}

py::object Arguments::operator[](const char *name) const
{
    const auto at = std::find(names_.begin(), names_.end(), name);
    const py::object &value = values_.at(std::size_t(at - names_.begin()));
    return value ? value : py::none();
}

bool Arguments::given(const char *name) const
{
    return !(*this)[name].is_none();
}

const Parameters &parametersArgument(const char *name, py::handle value)
{
    if (!py::isinstance<Parameters>(value))
        badType(name, "velmora.Parameters", value);
    return value.cast<const Parameters &>();
}

double realArgument(const char *name, py::handle value, const char *accepts)
{
    if (PyBool_Check(value.ptr()) || isText(value) || !PyNumber_Check(value.ptr()))
        badType(name, accepts, value);
    const double v = PyFloat_AsDouble(value.ptr());
    if (v == -1.0 && PyErr_Occurred()) {
        PyErr_Clear();
        badType(name, accepts, value);
    }
    return v;
}

double startCoordinate(const char *name, py::handle value)
{
    const std::string accepts = "a finite number within " + shortestText(maxViewCoordinate) +
                                " of 0";
    const double v = realArgument(name, value, accepts.c_str());
    if (!(std::abs(v) <= maxViewCoordinate))
        badValue(name, accepts, value);
    return v;
}

std::int64_t integerArgument(const char *name, py::handle value, std::int64_t min,
                             std::int64_t max)
{
    const std::string accepts =
        "an integer from " + std::to_string(min) + " to " + std::to_string(max);
    if (PyBool_Check(value.ptr()) || !PyIndex_Check(value.ptr()))
        badType(name, accepts, value);
    const auto index = py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
    if (!index)
        throw py::error_already_set();
    int overflow = 0;
    const long long n = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
    if (overflow != 0 || n < min || n > max)
        badValue(name, accepts, value);
    return n;
}

std::vector<py::object> itemsOf(const char *name, py::handle value, std::size_t count,
                                const char *accepts)
{
    if (isText(value) || !PySequence_Check(value.ptr()))
        badType(name, accepts, value);
    const auto sequence = py::reinterpret_borrow<py::sequence>(value);
    if (sequence.size() != count)
        badValue(name, accepts, value);
    std::vector<py::object> items;
    for (std::size_t i = 0; i < count; ++i)
        items.push_back(sequence[i]);
    return items;
}

View viewOf(py::handle origin, py::handle size)
{
    if (origin.is_none() != size.is_none()) {
        if (size.is_none())
            badValue("size", "(width, height) with a view", size);
        badValue("view", "(x, y, spacing) with a size", origin);
    }
    const char *viewAccepts = "a sequence (x, y, spacing) of 3 real numbers";
    const std::vector<py::object> v = itemsOf("view", origin, 3, viewAccepts);
    const std::string sides = "a sequence (width, height) of 2 integers from 1 to " +
                              std::to_string(maxClientSide);
    const std::vector<py::object> s = itemsOf("size", size, 2, sides.c_str());
    View view;
    view.x = realArgument("view", v[0], viewAccepts);
    view.y = realArgument("view", v[1], viewAccepts);
    view.spacing = realArgument("view", v[2], viewAccepts);
    for (int *side : {&view.width, &view.height}) {
        const py::object &item = s[side == &view.width ? 0 : 1];
        if (PyBool_Check(item.ptr()) || !PyIndex_Check(item.ptr()))
            badType("size", sides, size);
        const auto index = py::reinterpret_steal<py::object>(PyNumber_Index(item.ptr()));
        int overflow = 0;
        const long long n = index ? PyLong_AsLongLongAndOverflow(index.ptr(), &overflow) : 0;
        if (!index || overflow != 0 || n < 1 || n > maxClientSide)
            badValue("size", sides, size);
        *side = int(n);
    }
    switch (checkView(view)) {
    case ViewFault::none:
        break;
    case ViewFault::empty:
    case ViewFault::notFinite:
        badValue("view", "finite x and y and a spacing above 0", origin);
    case ViewFault::outOfRange:
        badValue("view", "start points within " + shortestText(maxViewCoordinate) + " of 0",
                 origin);
    case ViewFault::tooFine:
        badValue("view",
                 "a spacing of at least " + shortestText(finestSpacing(view.x, view.width)) +
                     " at x = " + shortestText(view.x) + " for " + std::to_string(view.width) +
                     " columns",
                 origin);
    }
    return view;
}

Workers workersOf(py::handle threads, py::handle kernel)
{
    Workers workers;
    if (!threads.is_none())
        workers.threads = int(integerArgument("threads", threads, 0, Workers::maxThreads));
    if (kernel.is_none())
        return workers;
    const char *kernels = "'auto', 'scalar' or 'avx2'";
    if (!PyUnicode_Check(kernel.ptr()))
        badType("kernel", kernels, kernel);
    if (!kernelFromName(kernel.cast<std::string>(), workers.kernel))
        badValue("kernel", kernels, kernel);
    if (!kernelAvailable(workers.kernel))
        badValue("kernel", "'auto' or 'scalar', as this processor lacks AVX2", kernel);
    return workers;
}

const Cancel *cancelOf(py::handle value)
{
    if (value.is_none())
        return nullptr;
    if (!py::isinstance<Cancel>(value))
        badType("cancel", "a velmora.Cancel or None", value);
    return &value.cast<const Cancel &>();
}

} // namespace velmora_python
