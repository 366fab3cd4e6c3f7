// The picture rectangle on a further monitor.
#include "cover/MonitorLayout.h"

#include <gtest/gtest.h>

TEST(MonitorLayout, CoverPictureRectTable) {
    struct Case { int sw, sh, cw, ch; PictureRect rect; };
    const Case cases[] = {
        {1920, 1080, 1280, 1024, {0, 0, 1280, 1024}},   // both landscape: stretched
        {1920, 1080, 1080, 1920, {0, 656, 1080, 608}},  // portrait cover: 607.5 -> 608
        {1920, 1080, 1080, 1923, {0, 658, 1080, 608}},  // 657.5 -> 658
        {1920, 1080, 1024, 1024, {0, 224, 1024, 576}},  // square is not landscape
        {1080, 1920, 1920, 1080, {0, -1166, 1920, 3413}},  // portrait primary: cut, -1166.5 -> even
        {1024, 1024, 1366, 768, {0, -299, 1366, 1366}},
        {0, 0, 800, 600, {0, 0, 800, 600}},              // no screen size: no division
    };
    for (const Case& c : cases) {
        const PictureRect r = CoverPictureRect(c.sw, c.sh, c.cw, c.ch);
        EXPECT_EQ(r, c.rect) << c.sw << 'x' << c.sh << " on " << c.cw << 'x' << c.ch << ": " << r.x << ','
                             << r.y << ' ' << r.w << 'x' << r.h;
    }
}
