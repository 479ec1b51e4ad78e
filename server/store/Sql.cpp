#include "server/store/Sql.h"

#include <charconv>
#include <cstdlib>

namespace quelvane::server {

int64_t SqlRows::integer(size_t row, size_t column) const {
    const auto& cell = rows_.at(row).at(column);
    if (!cell)
        return 0;
    int64_t value = 0;
    const char* end = cell->data() + cell->size();
    if (std::from_chars(cell->data(), end, value).ptr != end)
        throw std::runtime_error("not an integer: " + *cell);
    return value;
}

double SqlRows::real(size_t row, size_t column) const {
    const auto& cell = rows_.at(row).at(column);
    return cell ? std::strtod(cell->c_str(), nullptr) : 0.0;
}

std::string SqlRows::text(size_t row, size_t column) const {
    return rows_.at(row).at(column).value_or(std::string());
}

Bytes SqlRows::bytes(size_t row, size_t column) const {
    const auto& cell = rows_.at(row).at(column);
    return cell ? Bytes(cell->begin(), cell->end()) : Bytes();
}

}  // namespace quelvane::server
