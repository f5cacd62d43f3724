#include "renderer.h"

#include "scene/painter.h"

#include <algorithm>

RenderParameters RenderParameters::defaults(QSize client)
{
    RenderParameters p;
    p.scene = Scene::defaults(client);
    p.framing.client = client;
    return p;
}

void RenderSummary::add(const RenderSummary &other)
{
    points += other.points;
    captured.resize(std::max(captured.size(), other.captured.size()));
    for (std::size_t k = 0; k < other.captured.size(); ++k)
        captured[k] += other.captured[k];
    neverCaptured += other.neverCaptured;
    steps += other.steps;
}

Renderer::Renderer(const RenderParameters &parameters)
    : parameters_(parameters), view_(parameters.framing.startPoints()),
      surface_(parameters.framing.imageSize(), parameters.scene.background),
      engine_(parameters.scene.trajectory, parameters.workers)
{
    captures_.assign(std::size_t(view_.pointCount()), sim::Capture::none);
    if (parameters.keepPointSteps)
        pointSteps_.assign(captures_.size(), 0);
}

RenderSummary Renderer::render(const std::function<void()> &onProgress, QThreadPool *pool)
{
    std::vector<float> columns(std::size_t(view_.width));
    for (std::size_t i = 0; i < columns.size(); ++i)
        columns[i] = view_.columnX(std::int64_t(i));
    std::vector<double> rows(std::size_t(view_.height));
    for (std::size_t j = 0; j < rows.size(); ++j)
        rows[j] = view_.rowY(std::int64_t(j));
    engine_.setPool(pool);
    if (onProgress)
        engine_.setProgress([&onProgress](std::int64_t) { onProgress(); });
    auto *outcomes = reinterpret_cast<std::uint8_t *>(captures_.data());
    const bool complete =
        engine_.computeGrid(columns.data(), view_.width, rows.data(), view_.height,
                            outcomes,
                            pointSteps_.empty() ? nullptr : pointSteps_.data());
    engine_.setProgress({});
    if (!complete)
        return {};

    paintPicture(parameters_.scene, parameters_.framing, outcomes,
                 pointSteps_.empty() ? nullptr : pointSteps_.data(), surface_);
    RenderSummary summary;
    summary.points = pointCount();
    summary.steps = engine_.stepsTaken();
    summary.captured.assign(parameters_.scene.trajectory.masses.size(), 0);
    for (const sim::Capture c : captures_) {
        if (c == sim::Capture::none)
            ++summary.neverCaptured;
        else
            ++summary.captured[std::size_t(c) - 1];
    }
    return summary;
}
