#pragma once

#include "engine/parameters.h"
#include "sim/simstate.h"
#include "sim/step.h"

/// The window's record for two-mass parameters, as its scrollbars would set it: the reference
/// the engine's kernels are held to, step by step.
inline sim::simstate replicaState(const TrajectoryParameters &p)
{
    sim::simstate s;
    s.xrot = p.masses[0].x;
    s.yrot = p.masses[0].y;
    s.xblau = p.masses[1].x;
    s.yblau = p.masses[1].y;
    s.massrot = p.masses[0].weight * sim::fixedMassUnit;
    s.massblau = std::int32_t(p.masses[1].weight * sim::fixedMassUnit);
    s.massgreen = p.movingMass * sim::movingMassUnit;
    return s;
}

/// The replica's trajectory from (x, y), x a single value, with the parameters' radii and limit.
inline sim::TrajectoryResult replicaTrajectory(const TrajectoryParameters &p, float x, double y)
{
    sim::simstate s = replicaState(p);
    s.xgreen = x;
    s.ygreen = y;
    return sim::trajectory(s, p.masses[0].radius, p.masses[1].radius, p.stepLimit);
}
