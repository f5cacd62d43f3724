#include "wada.h"

#include "boundary.h"

#include <algorithm>

namespace {

/// Whether the start point at (x, y) of a width x height outcome map is on the boundary.
bool onBoundary(int width, int height, const std::uint8_t *outcomes, int x, int y)
{
    const std::uint8_t *here = outcomes + std::size_t(y) * std::size_t(width);
    return ::onBoundary(y > 0 ? here - width : nullptr, here,
                        y + 1 < height ? here + width : nullptr, x, width);
}

/// Counts of one mass's start points over any rectangle, from sums over the rectangles that
/// start at the top-left point.
class BlockCounts
{
public:
    BlockCounts(int width, int height, const std::uint8_t *outcomes, std::uint8_t mass)
        : width_(width), height_(height), sums_(std::size_t(width + 1) * std::size_t(height + 1))
    {
        for (int y = 0; y < height; ++y) {
            std::int64_t row = 0;
            for (int x = 0; x < width; ++x) {
                row += outcomes[std::size_t(y) * std::size_t(width) + std::size_t(x)] == mass;
                sum(x + 1, y + 1) = sum(x + 1, y) + row;
            }
        }
    }

    /// The mass's start points and all start points of the block of radius r around (x, y),
    /// clipped at the edge.
    void block(int x, int y, int r, std::int64_t &mass, std::int64_t &all) const
    {
        const int left = std::max(0, x - r);
        const int right = std::min(width_, x + r + 1);
        const int top = std::max(0, y - r);
        const int bottom = std::min(height_, y + r + 1);
        mass = at(right, bottom) - at(left, bottom) - at(right, top) + at(left, top);
        all = std::int64_t(right - left) * (bottom - top);
    }

private:
    std::int64_t &sum(int x, int y) { return sums_[std::size_t(y) * std::size_t(width_ + 1) + std::size_t(x)]; }
    std::int64_t at(int x, int y) const
    {
        return sums_[std::size_t(y) * std::size_t(width_ + 1) + std::size_t(x)];
    }

    int width_;
    int height_;
    std::vector<std::int64_t> sums_;
};

/// The distinct masses that captured start points of the 3 x 3 block around (x, y).
int massesAround(int width, int height, const std::uint8_t *outcomes, int x, int y)
{
    bool seen[256] = {};
    int distinct = 0;
    for (int j = std::max(0, y - 1); j <= std::min(height - 1, y + 1); ++j) {
        for (int i = std::max(0, x - 1); i <= std::min(width - 1, x + 1); ++i) {
            const std::uint8_t o = outcomes[std::size_t(j) * std::size_t(width) + std::size_t(i)];
            if (o != 0 && !seen[o]) {
                seen[o] = true;
                ++distinct;
            }
        }
    }
    return distinct;
}

} // namespace

WadaMeasures wadaMeasures(int width, int height, const std::uint8_t *outcomes, int masses)
{
    std::vector<std::pair<int, int>> boundary;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (onBoundary(width, height, outcomes, x, y))
                boundary.emplace_back(x, y);
        }
    }
    const auto share = [&](std::int64_t count) {
        return boundary.empty() ? 0.0 : double(count) / double(boundary.size());
    };

    WadaMeasures w;
    std::vector<std::int64_t> meet(std::size_t(masses) + 1);
    for (const auto &[x, y] : boundary)
        ++meet[std::size_t(std::min(masses, massesAround(width, height, outcomes, x, y)))];
    for (int m = 1; m <= masses; ++m)
        w.meet.push_back(share(meet[std::size_t(m)]));

    // missing[i][p]: a mass is missing around boundary point p at radius wadaRadii[i].
    std::vector<std::vector<bool>> missing(wadaRadii.size(),
                                           std::vector<bool>(boundary.size()));
    for (int k = 1; k <= masses; ++k) {
        const BlockCounts counts(width, height, outcomes, std::uint8_t(k));
        for (std::size_t i = 0; i < wadaRadii.size(); ++i) {
            for (std::size_t p = 0; p < boundary.size(); ++p) {
                std::int64_t captured = 0;
                std::int64_t all = 0;
                counts.block(boundary[p].first, boundary[p].second, wadaRadii[i], captured, all);
                if (captured == 0 || captured == all)
                    missing[i][p] = true;
            }
        }
    }
    for (std::size_t i = 0; i < wadaRadii.size(); ++i) {
        const int side = 2 * wadaRadii[i] + 1;
        if (side <= width && side <= height)
            w.notWada[i] = share(std::count(missing[i].begin(), missing[i].end(), true));
    }
    return w;
}
