// The images the lock program prepares once and shares between its windows: the background
// picture, the point panel, the rings, the alarm shields, the mode icons and the boxes, plus the
// routines that render them.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "core/PatternGrid.h"
#include "ui/DibSurface.h"
#include "system/WinHandles.h"
#include "ui/GdiPlusHandles.h"

constexpr int kImageSlots = 21;

enum ImageSlot {
    kSlotBackground = 0,       // row 0, the screen's size
    kSlotPanel = 1,            // row 1, PanelSize square
    kSlotBlueRing = 2,         // row 1, 53 square
    kSlotRedRing = 3,          // row 1, 53 square
    kSlotAlarmRed = 4,         // row 1, 235 x 256
    kSlotAlarmBlue = 5,        // row 1, 235 x 256
    kSlotSmallBlueRing = 6,    // row 0, 37 square
    kSlotSmallRedRing = 7,     // row 0, 37 square
    kSlotKeyboardIcon = 8,     // row 0, 32 square (Dynamic Password Mode)
    kSlotPatternEnableIcon = 9,    // row 0 (Secure Unlock Mode)
    kSlotPatternDisplayIcon = 10,  // row 0 (Normal Unlock Mode)
    kSlotIconBox = 12,         // row 1, 156 x 48
    kSlotInputBox = 13,        // row 1, 256 x 24
    kSlotEraseStrip = 20,      // row 1, made by the background cover
};

// Draw kinds: the row-0 image scaled to a rectangle, or the row-1 cached bitmap as it is.
constexpr int kDrawScaledImage = -1;
constexpr int kDrawCachedBitmap = 1;

struct ConfigData;
struct LockScreenModel;

// With Aside the background picture is decoded and fitted to the screen on a thread of its own,
// the longest part of start-up, while the program goes on.
enum class BackgroundLoad { Now, Aside };

// 2 rows x 21 slots. Row 0 holds images, row 1 cached bitmaps that may only be drawn onto the
// graphics they were made for (the lock window's, or the cover's for slot 20). The lock session
// owns the one table; the windows that draw from it are given it.
class ImageTable {
public:
    ImageTable() = default;
    ImageTable(const ImageTable&) = delete;
    ImageTable& operator=(const ImageTable&) = delete;
    // Waits for a background picture still in the making.
    ~ImageTable();

    // Slot 0 may still be in the making on another thread (see Load): every access to it
    // waits for that first.
    Gdiplus::Image* Image(int slot);
    Gdiplus::CachedBitmap* Cached(int slot) const;
    // Takes ownership; a slot out of range frees the object. The background picture is kept
    // as an opaque surface of the image's size (see Background).
    void SetImage(int slot, GdiPlusPtr<Gdiplus::Image> image);
    // Slot 0 as the DIB the covers present without a frame of their own; Image(kSlotBackground)
    // is its GDI+ bitmap. Null when there is no picture.
    const DibSurface* Background();
    void SetBackground(std::unique_ptr<DibSurface> picture);
    void SetCached(int slot, GdiPlusPtr<Gdiplus::CachedBitmap> cached);
    void Free(int slot);
    void FreeAll();
    // Changes whenever the slot's image is replaced or freed, so a cache keyed on the image can
    // tell a new picture from the old one even when it got the old one's address.
    uint32_t ImageSerial(int slot);

    // The slot's image scaled into x, y, width, height, or its cached bitmap at x, y (kind).
    bool Draw(Gdiplus::Graphics* graphics, int slot, int kind, double x, double y, double width, double height);

    // clone: store a copy of the source unchanged; else draw it scaled into a new width x height
    // bitmap stored as an image (asImage) or as a cached bitmap for lockGraphics, the lock
    // window's graphics (none: nothing is stored).
    bool Render(int width, int height, Gdiplus::Image* source, int slot, bool clone, bool asImage,
                Gdiplus::Graphics* lockGraphics = nullptr);
    bool CreatePanelImage(const GridLayout& layout, int width, int height, int slot, bool asImage,
                          Gdiplus::Graphics* lockGraphics = nullptr);
    bool CreateBoxImage(int radius, int width, int height, int slot, bool asImage,
                        Gdiplus::Graphics* lockGraphics = nullptr);
    // The large rings at lockLayout's scale, the small ones for the pattern boxes without one.
    bool CreateRedRingImage(int width, int height, int slot, const GridLayout* lockLayout, bool asImage,
                            Gdiplus::Graphics* lockGraphics = nullptr);
    bool CreateBlueRingImage(int width, int height, int slot, const GridLayout* lockLayout, bool asImage,
                             Gdiplus::Graphics* lockGraphics = nullptr);

    // Fills the table at start-up for the lock screen of `model` with the picture `config`
    // names, the cached bitmaps for the lock window's graphics. Pictures come from resources of
    // type "CUSTOM" in resourceModule (null: the program itself). With BackgroundLoad::Aside the
    // first use of slot 0 (a lock, the configuration dialog, the exit) waits for the picture.
    void Load(const ConfigData& config, const LockScreenModel& model, Gdiplus::Graphics* lockGraphics,
              HMODULE resourceModule = nullptr, BackgroundLoad background = BackgroundLoad::Now);
    // Slot 0 again from the settings' BackgroundImage or the built-in picture, at the model's
    // screen size (the background or the screen changed).
    bool ReloadBackground(const ConfigData& config, const LockScreenModel& model);
    // Slot 1 again for the layout (the grid size changed).
    bool RebuildPanel(const GridLayout& layout, Gdiplus::Graphics* lockGraphics);
    // Every image of the lock screen drawn at the layout's scale (panel, rings, shields, boxes)
    // again (the scale changed).
    void RebuildLockImages(const GridLayout& layout, Gdiplus::Graphics* lockGraphics);

private:
    // What slot 0 is made from, and the picture made from it on a thread of its own.
    struct BackgroundSource {
        std::string Path;
        HMODULE Module = nullptr;
        int Width = 0, Height = 0;
    };
    struct PendingBackground {
        BackgroundSource Source;
        std::unique_ptr<DibSurface> Result;
        UniqueHandle Thread;
    };
    static std::unique_ptr<DibSurface> MakeBackground(const BackgroundSource& source);
    static DWORD WINAPI MakePendingBackground(void* pending);

    // Stores a finished bitmap as an image or as a cached bitmap for the lock window's graphics.
    bool Store(GdiPlusPtr<Gdiplus::Bitmap> bitmap, int slot, bool asImage, Gdiplus::Graphics* lockGraphics);
    bool LoadResourceSlot(const char* name, int width, int height, int slot, bool clone, bool asImage,
                          Gdiplus::Graphics* lockGraphics = nullptr);
    BackgroundSource SourceFor(const ConfigData& config, const LockScreenModel& model) const;
    bool LoadBackground(const BackgroundSource& source);
    void StartBackgroundAside(const BackgroundSource& source);
    void TakePendingBackground(int slot);

    std::unique_ptr<DibSurface> background_;   // slot 0; images_[0] stays empty
    std::array<GdiPlusPtr<Gdiplus::Image>, kImageSlots> images_;
    std::array<GdiPlusPtr<Gdiplus::CachedBitmap>, kImageSlots> cached_;
    std::array<uint32_t, kImageSlots> imageSerials_{};
    HMODULE resourceModule_ = nullptr;   // where Load found the pictures
    PendingBackground pending_;
};

void ClearGraphics(Gdiplus::Graphics* graphics, Gdiplus::ARGB argb);
// The painters behind the images, usable on any graphics.
void FillRoundBox(Gdiplus::Graphics* graphics, int radius, int x, int y, int width, int height);
void DrawPanel(Gdiplus::Graphics* graphics, const GridLayout& layout, int x, int y, int width, int height);
void DrawRing(Gdiplus::Graphics* graphics, Gdiplus::ARGB rim, int outer, int inner);

// The picture drawn scaled into a new opaque surface of width x height, over black (a picture's
// transparent parts show black, as the cover always drew them); null when it cannot be made.
std::unique_ptr<DibSurface> FitPictureSurface(Gdiplus::Image* picture, int width, int height);

// A picture decoded by GDI+ from a "CUSTOM" resource, from a file, or from bytes in memory;
// empty when it is missing or cannot be read as a picture. The decoded bitmap does not depend
// on the resource, file or bytes afterwards.
GdiPlusPtr<Gdiplus::Bitmap> LoadResourcePicture(HMODULE module, const char* name);
GdiPlusPtr<Gdiplus::Bitmap> LoadPictureFile(const std::string& path);
GdiPlusPtr<Gdiplus::Bitmap> DecodePicture(const void* bytes, size_t size);
