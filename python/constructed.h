#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <typeinfo>

namespace velmora_python {

/// Hands C++ only objects whose value was made. One made by __new__ alone holds memory never
/// written: using it raises TypeError instead of reading that.
template <typename T> class ConstructedCaster : public pybind11::detail::type_caster_base<T>
{
public:
    bool load(pybind11::handle source, bool convert)
    {
        namespace detail = pybind11::detail;
        const detail::type_info *type = detail::get_type_info(typeid(T));
        if (type && source && PyObject_TypeCheck(source.ptr(), type->type)) {
            auto *instance = reinterpret_cast<detail::instance *>(source.ptr());
            // An instance that refers to another's member (a read-only attribute) owns no
            // holder of its own.
            if (instance->owned && !instance->get_value_and_holder(type).holder_constructed()) {
                throw pybind11::type_error(std::string(type->type->tp_name) +
                                           " was made by __new__ alone and holds nothing");
            }
        }
        return detail::type_caster_base<T>::load(source, convert);
    }
};

} // namespace velmora_python

/// Every use of T from Python goes through ConstructedCaster: declare it where T is bound,
/// before any use.
#define VELMORA_CONSTRUCTED_ONLY(T)                                                                \
    namespace pybind11::detail {                                                                   \
    template <> class type_caster<T> : public velmora_python::ConstructedCaster<T>                 \
    {                                                                                              \
    };                                                                                             \
    }
