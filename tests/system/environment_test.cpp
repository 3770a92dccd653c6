#include "system/environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string Value(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "(unset)";
}

TEST(Environment, SetKeepsOrOverwritesAndUnsetRemoves) {
    const char* const name = "ZARVELIN_TEST_VARIABLE";
    UnsetEnv(name);
    EXPECT_EQ(Value(name), "(unset)");
    SetEnv(name, "first", false);
    EXPECT_EQ(Value(name), "first");
    SetEnv(name, "second", false);
    EXPECT_EQ(Value(name), "first");
    SetEnv(name, "third", true);
    EXPECT_EQ(Value(name), "third");
    UnsetEnv(name);
    EXPECT_EQ(Value(name), "(unset)");
}

} // namespace
