#include "renderer.h"

#include "sim/defaults.h"
#include "sim/run.h"

#include <QThread>

#include <algorithm>

namespace {

/// The top row of the picture rectangle, centred as the size scrollbars centre it.
sim::Rect firstRowOf(const RenderParameters &p)
{
    sim::Rect row = sim::centredPicture(float(p.client.width()), float(p.client.height()),
                                        float(p.picture.width()), float(p.picture.height()));
    row.height = 1;
    return row;
}

} // namespace

View viewOf(const RenderParameters &p)
{
    if (p.view)
        return *p.view;
    const std::vector<sim::StartPoint> row = sim::startPoints(firstRowOf(p));
    return View::unitSpacing(row.front().x, row.front().y, int(row.size()), p.picture.height());
}

Workers workersOf(const RenderParameters &p)
{
    Workers w;
    w.kernel = p.kernel;
    w.threads = p.threads;
    return w;
}

RenderParameters RenderParameters::defaults(QSize client)
{
    RenderParameters p;
    static_cast<TrajectoryParameters &>(p) = TrajectoryParameters::defaults(client);
    p.client = client;
    return p;
}

int RenderParameters::workers() const
{
    return workersOf(*this).count();
}

sim::simstate RenderParameters::state() const
{
    sim::simstate s = stepState();
    s.colorrot = colorOne;
    s.colorblau = colorTwo;
    return s;
}

Renderer::Renderer(const RenderParameters &parameters)
    : parameters_(parameters), state_(parameters.state()), view_(viewOf(parameters)),
      surface_(parameters.view ? QSize(view_.width, view_.height) : parameters.client,
               parameters.background),
      engine_(parameters, workersOf(parameters))
{
    captures_.assign(std::size_t(view_.pointCount()), sim::Capture::none);
    if (parameters.keepPointSteps)
        pointSteps_.assign(captures_.size(), 0);
}

sim::StartPoint Renderer::startPoint(std::int64_t index) const
{
    return {view_.columnX(index % view_.width), std::int16_t(view_.rowY(index / view_.width))};
}

QPointF Renderer::pixel(std::int64_t index) const
{
    const std::int64_t i = index % view_.width;
    const std::int64_t j = index / view_.width;
    if (parameters_.view)
        return {double(i), double(j)};
    return {double(view_.columnX(i)), view_.rowY(j)};
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
    if (!engine_.computeGrid(columns.data(), view_.width, rows.data(), view_.height,
                             reinterpret_cast<std::uint8_t *>(captures_.data()),
                             pointSteps_.empty() ? nullptr : pointSteps_.data())) {
        engine_.setProgress({});
        return {};
    }
    engine_.setProgress({});

    if (!parameters_.view)
        sim::drawCaptureCircles(state_, surface_, parameters_.radiusOne, parameters_.radiusTwo);

    RenderSummary summary;
    summary.points = pointCount();
    summary.steps = engine_.stepsTaken();
    // Row by row, in scan order.
    std::vector<float> pixelColumns(std::size_t(view_.width));
    for (std::size_t i = 0; i < pixelColumns.size(); ++i)
        pixelColumns[i] = float(pixel(std::int64_t(i)).x());
    const sim::Capture *capture = captures_.data();
    for (int row = 0; row < view_.height; ++row) {
        const auto y = float(pixel(std::int64_t(row) * view_.width).y());
        for (const float x : pixelColumns) {
            switch (*capture++) {
            case sim::Capture::one:
                surface_.setPixel(x, y, state_.colorrot);
                ++summary.capturedOne;
                break;
            case sim::Capture::two:
                surface_.setPixel(x, y, state_.colorblau);
                ++summary.capturedTwo;
                break;
            case sim::Capture::none:
                ++summary.neverCaptured;
                break;
            }
        }
    }
    return summary;
}
