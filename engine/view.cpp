#include "view.h"

#include "sim/defaults.h"
#include "sim/number.h"
#include "sim/scan.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>

namespace {

/// The gap between the single value nearest |v| and the next one above it.
double singleGap(double v)
{
    const auto f = float(std::min(std::fabs(v), double(FLT_MAX) / 2));
    return double(std::nextafter(f, FLT_MAX)) - double(f);
}

/// The end of the digits of text from i on.
std::size_t digitsEnd(const std::string &text, std::size_t i)
{
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    return i;
}

/// Whether the whole of text is -?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?, read in one pass:
/// a recursive matcher could run out of stack on a long number.
bool decimalForm(const std::string &text)
{
    const std::size_t begin = !text.empty() && text[0] == '-' ? 1 : 0;
    const std::size_t whole = digitsEnd(text, begin);
    std::size_t end = whole;
    if (end < text.size() && text[end] == '.')
        end = digitsEnd(text, end + 1);
    const std::size_t digits = end - begin - (end > whole ? 1 : 0);
    if (digits == 0)
        return false;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '-' || text[exponent] == '+'))
            ++exponent;
        end = digitsEnd(text, exponent);
        if (end == exponent)
            return false;
    }
    return end == text.size();
}

} // namespace

float View::columnX(std::int64_t i) const
{
    const double product = double(column + i) * spacing;
    return sim::roundToSingle(float(x + product));
}

double View::rowY(std::int64_t j) const
{
    const double product = double(row + j) * spacing;
    return y + product;
}

View pictureView(int clientWidth, int clientHeight, int width, int height)
{
    sim::Rect row = sim::centredPicture(float(clientWidth), float(clientHeight), float(width),
                                        float(height));
    row.height = 1;
    const std::vector<sim::StartPoint> columns = sim::startPoints(row);
    return View::unitSpacing(columns.front().x, columns.front().y, int(columns.size()), height);
}

View View::moved(std::int64_t columns, std::int64_t rows) const
{
    View v = *this;
    v.column += columns;
    v.row += rows;
    return v;
}

View View::unitSpacing(double left, double top, int width, int height)
{
    View v;
    v.x = left;
    v.y = top;
    v.spacing = 1;
    v.width = width;
    v.height = height;
    return v;
}

double finestSpacing(double x, std::int64_t columns)
{
    // A wider gap farther out can need a wider spacing, which reaches farther out again; the
    // gap at most doubles a turn, so this ends within a few turns.
    double gap = singleGap(x);
    for (int turn = 0; turn < 2100; ++turn) {
        const double far = std::max(std::fabs(x), std::fabs(x + double(columns - 1) * gap));
        const double wider = singleGap(far);
        if (wider <= gap)
            break;
        gap = wider;
    }
    return gap;
}

ViewFault checkView(const View &view)
{
    if (view.width < 1 || view.height < 1)
        return ViewFault::empty;
    if (!std::isfinite(view.x) || !std::isfinite(view.y) || !std::isfinite(view.spacing) ||
        !(view.spacing > 0))
        return ViewFault::notFinite;
    const double left = view.x + double(view.column) * view.spacing;
    const double right = view.x + double(view.column + view.width - 1) * view.spacing;
    const double top = view.y + double(view.row) * view.spacing;
    const double bottom = view.y + double(view.row + view.height - 1) * view.spacing;
    for (const double v : {left, right, top, bottom}) {
        if (!std::isfinite(v) || std::fabs(v) > maxViewCoordinate)
            return ViewFault::outOfRange;
    }
    if (view.spacing < finestSpacing(left, view.width))
        return ViewFault::tooFine;
    for (int i = 1; i < view.width; ++i) {
        if (view.columnX(i) == view.columnX(i - 1))
            return ViewFault::tooFine;
    }
    for (int j = 1; j < view.height; ++j) {
        if (view.rowY(j) == view.rowY(j - 1))
            return ViewFault::tooFine;
    }
    return ViewFault::none;
}

std::string shortestText(double value)
{
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

bool readReal(const std::string &text, double &value)
{
    if (!decimalForm(text))
        return false;
    double read = 0;
    const char *end = text.data() + text.size();
    const std::from_chars_result r = std::from_chars(text.data(), end, read);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(read))
        return false;
    value = read;
    return true;
}
