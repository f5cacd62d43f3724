#include "passplan.h"

namespace passplan {

int passOf(int i, int j)
{
    for (int pass = 0; pass < count - 1; ++pass) {
        const int s = stride(pass);
        if (i % s == 0 && j % s == 0)
            return pass;
    }
    return count - 1;
}

std::vector<std::int32_t> points(QSize size, int pass, const std::vector<std::uint8_t> &known)
{
    std::vector<std::int32_t> result;
    const int s = stride(pass);
    for (int j = 0; j < size.height(); j += s) {
        for (int i = 0; i < size.width(); i += s) {
            const std::int32_t index = j * size.width() + i;
            if (!known[std::size_t(index)] && passOf(i, j) == pass)
                result.push_back(index);
        }
    }
    return result;
}

} // namespace passplan
