// The picture of a point grid in a 320 x 320 pattern box, shared by the verify dialog and the
// configuration dialog's pattern canvas: every point as a small blue ring, and the trail of a
// sequence as lines between the points' centres with a small red ring on each point.
#pragma once

#include <functional>
#include <vector>

#include "ui/GdiPlusHandles.h"
#include "core/PatternGrid.h"

// The side of a small ring's square in the box; the ring images are drawn scaled into it.
constexpr float kSmallRingSize = 37.0f;

class ImageTable;

// The point's entry of the small grid table, or null for a number outside 1..36.
const LayoutEntry* SmallGridEntry(const GridLayout& layout, int point);

// Opaque white, then points 1..gridSide*gridSide as the small blue ring of `images`.
void DrawSmallGrid(Gdiplus::Graphics* graphics, ImageTable& images, const GridLayout& layout, int gridSide);

// Lines with `pen` from each point of `sequence` to the next, then the small red ring on each
// point in order; `onRing` (may be empty) runs after each ring with its 1-based position.
using SmallRingHook = std::function<void(int position, const LayoutEntry& entry)>;
void DrawSmallTrail(Gdiplus::Graphics* graphics, ImageTable& images, Gdiplus::Pen* pen, const GridLayout& layout,
                    const std::vector<int>& sequence, const SmallRingHook& onRing = {});
