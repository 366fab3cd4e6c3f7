// Where the lock window's points are, computed with the program's own layout code, so the
// scripts never hard-code geometry.
#include "Driver.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "core/ConfigData.h"
#include "core/PatternGrid.h"

namespace {

struct Screen {
    int width, height, grid;
};

std::optional<Screen> ParseScreen(const Args& args) {
    auto width = ParseNumber(args[1]);
    auto height = ParseNumber(args[2]);
    if (!width || !height || *width < 300 || *height < 300 || *width > 16384 || *height > 16384) return std::nullopt;
    if (args[3] == "-") return Screen{static_cast<int>(*width), static_cast<int>(*height), -1};
    auto grid = ParseNumber(args[3]);
    if (!grid || *grid < 0 || *grid > kMaxGrid) return std::nullopt;
    return Screen{static_cast<int>(*width), static_cast<int>(*height), static_cast<int>(*grid)};
}

// The DPI the program under test reads, so the points follow its scaled layout.
int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : kBaseDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

// A Unix path is reached through Wine's Z: drive.
std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string result = "Z:" + path;
    for (char& c : result)
        if (c == '/') c = '\\';
    return result;
}

}  // namespace

// Centre of point k (its layout entry's Centre); k "all" prints every point's centre on one line.
int CmdPointCenter(const Args& args) {
    if (args.size() != 5) return Fail("usage: point-center <screenW> <screenH> <grid 0..2> <k|all>", kExitUsage);
    auto screen = ParseScreen(args);
    bool all = args[4] == "all";
    auto k = all ? std::optional<long long>(1) : ParseNumber(args[4]);
    if (!screen || screen->grid < 0 || !k) return Fail("bad screen size, grid or point", kExitUsage);
    GridLayout layout;
    ComputeLayout(layout, screen->grid, screen->width, screen->height, ScreenDpi());
    int points = layout.GridSide * layout.GridSide;
    if (*k < 1 || *k > points) return Fail("point " + args[4] + " is not on the grid", kExitUsage);
    int last = all ? points : static_cast<int>(*k);
    for (int i = static_cast<int>(*k); i <= last; ++i) {
        const LayoutPosition centre = layout.Point(i).Centre;
        std::printf("%s%d,%d", i == *k ? "" : " ", centre.X, centre.Y);
    }
    std::printf("\n");
    return kExitOk;
}

// Centres of the secret pattern's points, in order, on one line ("x,y x,y ..."): the argument
// list of a drag. Grid "-" takes the grid from the file.
int CmdPatternPath(const Args& args) {
    if (args.size() != 5) return Fail("usage: pattern-path <screenW> <screenH> <grid|-> <cfg path>", kExitUsage);
    auto screen = ParseScreen(args);
    if (!screen) return Fail("bad screen size or grid", kExitUsage);
    std::ifstream file(WindowsPath(args[4]), std::ios::binary);
    if (!file) return Fail("cannot open " + args[4]);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < kConfigFileSize) return Fail(args[4] + " is shorter than a configuration file");
    ConfigBytes image{};
    std::copy(bytes.begin(), bytes.begin() + kConfigFileSize, image.begin());
    ConfigData config = DecodeConfig(image);
    int grid = screen->grid >= 0 ? screen->grid : (config.Grid <= kMaxGrid ? config.Grid : 0);
    GridLayout layout;
    ComputeLayout(layout, grid, screen->width, screen->height, ScreenDpi());
    int points = layout.GridSide * layout.GridSide;
    std::string line;
    for (int i = 1; i <= points; ++i) {
        int point = config.SecretPattern[static_cast<size_t>(i)];
        if (point == 0) continue;
        if (point < 1 || point > points) return Fail("pattern entry " + std::to_string(i) + " is not a point");
        const LayoutPosition centre = layout.Point(point).Centre;
        line += (line.empty() ? "" : " ") + std::to_string(centre.X) + "," + std::to_string(centre.Y);
    }
    if (line.empty()) return Fail("the configuration holds no pattern");
    std::printf("%s\n", line.c_str());
    return kExitOk;
}

int CmdScreenSize(const Args&) {
    std::printf("%dx%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return kExitOk;
}
