#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace grelm::test {

/// The name GoogleTest shows for a table row with a `name` text: every
/// character that is not a letter or digit becomes '_', as test names require.
template <typename Row>
std::string rowName(const ::testing::TestParamInfo<Row> &info)
{
    std::string name;
    for (const char *p = info.param.name; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

} // namespace grelm::test
