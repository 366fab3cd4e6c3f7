// When the configuration dialog says that Windows' own lock keeps nobody out.
#include "system/WeakFallback.h"

#include <gtest/gtest.h>

TEST(WeakFallback, NoteTable) {
    struct Case { AccountLook look; char note; };   // n: no password, a: automatic sign-in, -: none
    // 1327: a blank password refused to all but the console; 1326: a wrong one, so there is one.
    const Case cases[] = {{{true, 0, ""}, 'n'}, {{false, 1327, ""}, 'n'}, {{false, 1326, ""}, '-'},
                          {{false, 1326, std::string("1\0", 2)}, 'a'}, {{true, 0, "1"}, 'n'}, {{false, 1326, "0"}, '-'}};
    for (const Case& c : cases) {
        const std::string text = WeakFallbackText(c.look);
        EXPECT_EQ(text.empty() ? '-' : text.find("no password") != std::string::npos ? 'n' : 'a', c.note) << &c - cases;
    }
}
