#include "basins.h"
#include "mass.h"
#include "parameters.h"

#include <pybind11/pybind11.h>

PYBIND11_MODULE(velmora, module)
{
    module.doc() = "The basins of attraction of fixed masses, computed exactly as "
                   "velmora-render computes them, as NumPy arrays.\n\n"
                   "    p = velmora.Parameters(mass_moving=80)\n"
                   "    b = velmora.basins(p)\n"
                   "    matplotlib.pyplot.imshow(b.outcome, extent=b.extent)\n";
    velmora_python::addMass(module);
    velmora_python::addParameters(module);
    velmora_python::addFunctions(module);
}
