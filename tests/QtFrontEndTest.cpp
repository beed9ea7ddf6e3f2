#include <gtest/gtest.h>

#include "platform/qt/QtApplication.h"
#include "tests/Printers.h"

namespace {

TEST(QtFrontEnd, MenuTextsShowTitlesExactly) {
    struct Case {
        QString title;
        QString text;
    };
    // An "&" would otherwise vanish and underline the next letter as a shortcut.
    const Case cases[] = {
        {"Mount: disk3s1 (7.5 GB)", "Mount: disk3s1 (7.5 GB)"},
        {"Eject: a&b", "Eject: a&&b"},
        {"&&", "&&&&"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(menuText(c.title), c.text);
    }
}

}  // namespace
