// Drawing a point grid and a trail in a pattern box from the small grid table and the ring
// images of the image table.
#include "ui/SmallGridDrawing.h"

#include "ui/ImageTable.h"

const LayoutEntry* SmallGridEntry(const GridLayout& layout, int point) {
    if (point < 1 || point >= kSmallGridEntries) return nullptr;
    return &layout.SmallGridTable[static_cast<size_t>(point)];
}

void DrawSmallGrid(Gdiplus::Graphics* graphics, ImageTable& images, const GridLayout& layout, int gridSide) {
    if (!graphics) return;
    ClearGraphics(graphics, 0xFFFFFFFF);
    for (int k = 1; k <= gridSide * gridSide; ++k) {
        const LayoutEntry* e = SmallGridEntry(layout, k);
        if (e)
            images.Draw(graphics, kSlotSmallBlueRing, kDrawScaledImage, e->Hit.Left, e->Hit.Top, kSmallRingSize,
                        kSmallRingSize);
    }
}

void DrawSmallTrail(Gdiplus::Graphics* graphics, ImageTable& images, Gdiplus::Pen* pen, const GridLayout& layout,
                    const std::vector<int>& sequence, const SmallRingHook& onRing) {
    if (!graphics) return;
    for (size_t i = 1; pen && i < sequence.size(); ++i) {
        const LayoutEntry* from = SmallGridEntry(layout, sequence[i - 1]);
        const LayoutEntry* to = SmallGridEntry(layout, sequence[i]);
        if (from && to) graphics->DrawLine(pen, from->Centre.X, from->Centre.Y, to->Centre.X, to->Centre.Y);
    }
    int position = 0;
    for (int point : sequence) {
        const LayoutEntry* e = SmallGridEntry(layout, point);
        if (!e) continue;
        images.Draw(graphics, kSlotSmallRedRing, kDrawScaledImage, e->Hit.Left, e->Hit.Top, kSmallRingSize,
                    kSmallRingSize);
        ++position;
        if (onRing) onRing(position, *e);
    }
}
