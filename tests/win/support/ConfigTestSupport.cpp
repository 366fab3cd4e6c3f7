// The configuration dialog fixture and its recorders.
#include "support/ConfigTestSupport.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "core/ProgramFiles.h"
#include "ui/ImageTable.h"
#include "support/RawRegistry.h"
#include "system/Messages.h"
#include "system/Restrictions.h"
#include "support/LockStateTestAccess.h"
#include "support/SessionSupport.h"

namespace configtest {

Recorder& Recorded() {
    static Recorder recorder;
    return recorder;
}

namespace {

int RecordMessage(const std::string& text, const std::string& caption, uint32_t flags) {
    Recorder& r = Recorded();
    r.Messages.push_back({text, caption, flags});
    if (r.MessageAnswers.empty()) return IDOK;
    const int answer = r.MessageAnswers.front();
    r.MessageAnswers.pop_front();
    return answer;
}

BOOL RecordFileDialog(OPENFILENAMEA* ofn, bool isSave) {
    Recorder& r = Recorded();
    FileDialogCall call;
    call.IsSave = isSave;
    call.Title = ofn->lpstrTitle ? ofn->lpstrTitle : "";
    if (const char* f = ofn->lpstrFilter) {
        const char* end = f;
        while (end[0] || end[1]) ++end;
        call.Filter.assign(f, end + 2);
    }
    call.DefaultName = ofn->lpstrFile ? ofn->lpstrFile : "";
    call.Flags = ofn->Flags;
    r.FileDialogs.push_back(call);
    if (r.FileAnswers.empty()) return FALSE;
    const std::string answer = r.FileAnswers.front();
    r.FileAnswers.pop_front();
    if (answer.empty() || answer.size() >= ofn->nMaxFile) return FALSE;
    lstrcpynA(ofn->lpstrFile, answer.c_str(), static_cast<int>(ofn->nMaxFile));
    return TRUE;
}

HINSTANCE RecordShell(HWND owner, const char* verb, const char* file, const char* params, const char* /*dir*/,
                      int show) {
    Recorded().ShellCalls.push_back({verb ? verb : "", file ? file : "", params ? params : "", owner != nullptr, show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

void RemoveFolder(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

void UseDefaultConfig() {
    Config = ConfigData{};
    ApplyDefaultConfig(Config);
    SetDefaultPattern(Config);
}

void ConfigDialogFixture::SetUp() {
    static GdiPlusSession session;
    ASSERT_TRUE(session.IsStarted());
    char temp[MAX_PATH] = "";
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    folder_ = std::string(temp) + "orvo-config-test-" + std::to_string(GetCurrentProcessId()) + "\\";
    RemoveFolder(folder_);
    CreateDirectoryA(folder_.c_str(), nullptr);
    SetProgramFiles({.AppPath = folder_, .AppExeName = "OrvoPCLockTest", .ConfigFilePath = folder_ + "OrvoPLS.cfg"});
    ScreenWidth = 640;
    ScreenHeight = 480;
    UseDefaultConfig();
    LockStateTestAccess::SetUnlockMode(0);
    AlertText.clear();
    ComputeLayout(Layout, Config.Grid, ScreenWidth, ScreenHeight);
    ASSERT_TRUE(Images.CreateBlueRingImage(37, 37, kSlotSmallBlueRing, nullptr, true));
    ASSERT_TRUE(Images.CreateRedRingImage(37, 37, kSlotSmallRedRing, nullptr, true));
    Images.ReloadBackground(Config, TestSession().Model());   // this test program carries no built-in picture: slot 0 stays empty
    Recorded() = Recorder{};
    SetMessageHook(RecordMessage);
    SetFileDialogFn(RecordFileDialog);
    SetShellExecuteFn(RecordShell);
    rawreg::Delete(kRunKey, kRunValueName);
}

void ConfigDialogFixture::TearDown() {
    TestSession().CloseConfigDialog();
    Pump();
    SetMessageHook(nullptr);
    SetFileDialogFn(nullptr);
    SetShellExecuteFn(nullptr);
    Images.FreeAll();
    rawreg::Delete(kRunKey, kRunValueName);
    RemoveFolder(folder_);
}

HWND ConfigDialogFixture::Open() {
    TestSession().ShowConfigDialog();
    Pump();
    dialog_ = TestSession().ConfigDialogHwnd();
    EXPECT_NE(dialog_, nullptr) << "the configuration dialog did not open";
    return dialog_;
}

namespace {
struct FindById {
    int Id;
    HWND Found;
};
BOOL CALLBACK MatchId(HWND hwnd, LPARAM lp) {
    auto* find = reinterpret_cast<FindById*>(lp);
    if (GetDlgCtrlID(hwnd) != find->Id) return TRUE;
    find->Found = hwnd;
    return FALSE;
}
}  // namespace

HWND FindControl(HWND dialog, int id) {
    FindById find{id, nullptr};
    if (dialog) EnumChildWindows(dialog, MatchId, reinterpret_cast<LPARAM>(&find));
    return find.Found;
}

RECT ControlRect(HWND control) {
    RECT rc{};
    if (!control || !GetWindowRect(control, &rc)) return rc;
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::string WindowText(HWND control) {
    char text[1024] = "";
    GetWindowTextA(control, text, sizeof text);
    return text;
}

std::vector<std::string> ListEntries(HWND list) {
    std::vector<std::string> entries;
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = "";
        SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

int ListSelection(HWND list) {
    return static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
}

void PickListEntry(HWND dialog, int id, int index) {
    HWND list = FindControl(dialog, id);
    ASSERT_NE(list, nullptr) << "list " << id;
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void Click(HWND dialog, int id) {
    HWND button = FindControl(dialog, id);
    ASSERT_NE(button, nullptr) << "button " << id;
    SendMessageA(button, BM_CLICK, 0, 0);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::vector<uint32_t> BoxPixels(HWND dialog, int id, int& width, int& height) {
    PictureBox* box = PictureBox::FromHwnd(FindControl(dialog, id));
    width = box ? box->Width() : 0;
    height = box ? box->Height() : 0;
    return box ? box->Pixels() : std::vector<uint32_t>{};
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string SolidBitmapFile(int width, int height, COLORREF color) {
    const std::vector<uint32_t> pixels(static_cast<size_t>(width) * height,
                                       (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color));
    const std::vector<uint8_t> file = EncodeBitmapFile(pixels, width, height);
    return std::string(file.begin(), file.end());
}

}  // namespace configtest
