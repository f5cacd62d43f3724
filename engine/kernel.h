#pragma once

#include "kerneljob.h"

#include <cstdint>
#include <string_view>

/// The code that follows the trajectories of the start points. Every kernel gives every start
/// point the same outcome and the same step count, so the picture does not depend on it.
enum class Kernel : std::uint8_t {
    automatic, ///< the fastest this processor has, unless the environment names another
    scalar,    ///< sim::Trajectory itself; runs on every processor
    avx2,      ///< four start points a vector; needs AVX2
};

/// The environment variable that chooses what Kernel::automatic stands for: "scalar" or
/// "avx2" ("auto" or empty leave the choice to the processor). It lets a whole test run use the
/// scalar path on any processor.
inline constexpr const char *kernelVariable = "VELMORA_KERNEL";

/// "auto", "scalar" or "avx2".
const char *kernelName(Kernel kernel);
/// The kernel with that name; false for any other text.
bool kernelFromName(std::string_view name, Kernel &kernel);
/// True where this processor can run it; the processor is asked once.
bool kernelAvailable(Kernel kernel);

/// What Kernel::automatic stands for: the kernel kernelVariable names, where this processor
/// has it, else the fastest it has. False, with the fastest, when the variable names no kernel
/// or one this processor lacks.
bool automaticKernel(Kernel &kernel);

/// The kernel that runs for a request: automatic resolved, one the processor lacks replaced
/// by the scalar path.
Kernel resolvedKernel(Kernel requested);

using KernelEntry = void (*)(const KernelJob &job);
/// The entry function of a kernel; automatic resolved first.
KernelEntry kernelEntry(Kernel kernel);
