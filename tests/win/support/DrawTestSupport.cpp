// GDI+ for every Windows test program that draws, and the pixel helpers of DrawTestSupport.h.
#include "support/DrawTestSupport.h"

#include "support/SessionSupport.h"
#include "ui/ImageTable.h"

#include <objidl.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

class GdiPlusEnvironment : public ::testing::Environment {
public:
    void SetUp() override { session_ = std::make_unique<GdiPlusSession>(); }
    void TearDown() override { session_.reset(); }
private:
    std::unique_ptr<GdiPlusSession> session_;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new GdiPlusEnvironment);

bool FindEncoder(const wchar_t* mime, CLSID& clsid) {
    UINT count = 0, bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
    std::vector<unsigned char> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i)
        if (wcscmp(codecs[i].MimeType, mime) == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    return false;
}

}  // namespace

namespace drawtest {

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(d) > tolerance) return false;
    }
    return true;
}

int CountInk(const LayeredFrame& frame, int left, int top, int width, int height, uint32_t background) {
    int count = 0;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            if (frame.PixelAt(x, y) != background) ++count;
    return count;
}

HMODULE ProgramResources() {
    static HMODULE module = [] {
        char path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return HMODULE{};
        std::string folder(path, length);
        folder.resize(folder.find_last_of('\\') + 1);
        HMODULE program = LoadLibraryExA((folder + "OrvoPCLock.exe").c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        // A program built before the artwork existed has no pictures to offer.
        if (program && !FindResourceA(program, "BACKGROUND", "CUSTOM")) {
            FreeLibrary(program);
            program = nullptr;
        }
        return program;
    }();
    return module;
}

GdiPlusPtr<Gdiplus::Bitmap> SolidBitmap(int width, int height, Gdiplus::ARGB argb) {
    auto bitmap = NewGdiPlus<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    if (bitmap) {
        Gdiplus::Graphics graphics(bitmap.get());
        graphics.Clear(Gdiplus::Color(argb));
    }
    return bitmap;
}

void LoadStandInImages(Gdiplus::Graphics* lockGraphics, HMODULE resources) {
    Images.Load(Config, TestSession().Model(), lockGraphics, resources);
    for (int i = 0; i < 3; ++i) Images.SetImage(kSlotKeyboardIcon + i, SolidBitmap(32, 32, kIconColours[i]));
    auto red = SolidBitmap(235, 256, kRedShield);
    auto blue = SolidBitmap(235, 256, kBlueShield);
    if (!lockGraphics || !red || !blue) return;
    Images.SetCached(kSlotAlarmRed, NewGdiPlus<Gdiplus::CachedBitmap>(red.get(), lockGraphics));
    Images.SetCached(kSlotAlarmBlue, NewGdiPlus<Gdiplus::CachedBitmap>(blue.get(), lockGraphics));
}

std::string MakePngBytes(int width, int height, uint32_t argb) {
    CLSID png{};
    if (!FindEncoder(L"image/png", png)) return std::string();
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        graphics.Clear(Gdiplus::Color(argb));
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return std::string();
    std::string bytes;
    if (bitmap.Save(stream, &png, nullptr) == Gdiplus::Ok) {
        HGLOBAL memory = nullptr;
        STATSTG stat{};
        if (SUCCEEDED(GetHGlobalFromStream(stream, &memory)) && SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME))) {
            const void* data = GlobalLock(memory);
            if (data) bytes.assign(static_cast<const char*>(data), static_cast<size_t>(stat.cbSize.QuadPart));
            GlobalUnlock(memory);
        }
    }
    stream->Release();
    return bytes;
}

}  // namespace drawtest
