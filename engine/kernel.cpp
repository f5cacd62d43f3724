#include "kernel.h"

#include <cstdlib>

namespace {

bool processorHasAvx2()
{
#ifdef VELMORA_AVX2_KERNEL
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
#else
    return false;
#endif
}

Kernel fastestKernel()
{
    return processorHasAvx2() ? Kernel::avx2 : Kernel::scalar;
}

} // namespace

const char *kernelName(Kernel kernel)
{
    switch (kernel) {
    case Kernel::automatic:
        break;
    case Kernel::scalar:
        return "scalar";
    case Kernel::avx2:
        return "avx2";
    }
    return "auto";
}

bool kernelFromName(std::string_view name, Kernel &kernel)
{
    for (const Kernel k : {Kernel::automatic, Kernel::scalar, Kernel::avx2}) {
        if (name == kernelName(k)) {
            kernel = k;
            return true;
        }
    }
    return false;
}

bool kernelAvailable(Kernel kernel)
{
    return kernel != Kernel::avx2 || processorHasAvx2();
}

bool automaticKernel(Kernel &kernel)
{
    kernel = fastestKernel();
    const char *setting = std::getenv(kernelVariable);
    if (setting == nullptr || *setting == '\0')
        return true;
    Kernel named = Kernel::automatic;
    if (!kernelFromName(setting, named) || !kernelAvailable(named))
        return false;
    if (named != Kernel::automatic)
        kernel = named;
    return true;
}

Kernel resolvedKernel(Kernel requested)
{
    if (requested == Kernel::automatic)
        automaticKernel(requested);
    return kernelAvailable(requested) ? requested : Kernel::scalar;
}

KernelEntry kernelEntry(Kernel kernel)
{
#ifdef VELMORA_AVX2_KERNEL
    if (resolvedKernel(kernel) == Kernel::avx2)
        return &runAvx2Kernel;
#else
    static_cast<void>(kernel);
#endif
    return &runScalarKernel;
}
