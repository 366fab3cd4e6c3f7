// Where the background picture goes on a further monitor's cover. Pure: no platform headers,
// unit-tested natively.
#pragma once

struct PictureRect {
    int x, y, w, h;
    bool operator==(const PictureRect&) const = default;
};

// Both screens landscape: the picture is stretched over the whole cover. Otherwise it keeps the
// primary screen's proportions at the cover's full width and is centred vertically (y may be
// negative: the picture is then cut at top and bottom).
PictureRect CoverPictureRect(int screenW, int screenH, int coverW, int coverH);
