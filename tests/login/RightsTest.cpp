#include "login/Rights.h"

#include <gtest/gtest.h>

using namespace velt;

TEST(Rights, ARightIsAWholeWordOfTheList) {
    const struct {
        const char* rights;
        const char* right;
        bool held;
    } cases[] = {
        {"modyfikowanie administrowanie", "administrowanie", true},
        {"administrowanie", "administrowanie", true},
        {"modyfikowanie|administrowanie|", "administrowanie", true},
        {" administrowanie,modyfikowanie; ", "modyfikowanie", true},
        {"nieadministrowanie", "administrowanie", false},
        {"administrowanie2", "administrowanie", false},
        {"modyfikowanie", "administrowanie", false},
        {"", "administrowanie", false},
        {"administrowanie", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(HasRight(c.rights, c.right), c.held) << c.rights << " / " << c.right;
}
