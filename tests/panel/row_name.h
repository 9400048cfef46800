// Names each test of a parameter table after the Name field of its row, and prints a row as
// that name, so that test lists show the row instead of its bytes.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace vr410::test {

struct RowName {
    template <typename Row> std::string operator()(const testing::TestParamInfo<Row>& row) const {
        return row.param.Name;
    }
};

// Bring into a test file's namespace with `using test::PrintTo;`.
template <typename Row>
requires requires(const Row& row) {
    row.Name;
}
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.Name;
}

} // namespace vr410::test
