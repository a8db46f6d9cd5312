#pragma once

#include <gtest/gtest.h>

#include <string>

namespace karuneo::testing {

// Names each case of a table by its `name`, so that `--gtest_filter=*/Name`
// runs that case alone and reports it on its own.
struct CaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return info.param.name;
    }
};

// A case of a table of texts: what a function is given and what it must
// make of it.
struct TextCase {
    const char* name;
    std::string given;
    std::string expected;
};

// A suite over a table of TextCase.
class TextCaseTest : public ::testing::TestWithParam<TextCase> {};

}  // namespace karuneo::testing
