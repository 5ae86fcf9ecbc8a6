// Reading the reference-vector files of tests/data (also in the Windows build
// of the tests, which has none of the other test helpers).
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace coordconv::testing {

// The numeric fields of every line that is not empty or a "#" comment, up to
// the first word (the tolerance's unit).
inline std::vector<std::vector<long double>> ReadReferenceVectors(const std::string& name) {
    std::ifstream file(std::string(COORDCONV_TEST_DATA) + "/" + name);
    EXPECT_TRUE(file.good()) << name;
    std::vector<std::vector<long double>> rows;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::vector<long double> row;
        for (long double value; fields >> value;) row.push_back(value);
        rows.push_back(row);
    }
    return rows;
}

}  // namespace coordconv::testing
