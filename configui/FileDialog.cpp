// The common open/save dialog as the configuration dialog uses it; the tests can replace it.
#include "configui/ConfigDialog.h"

#include <commdlg.h>
#include <shellapi.h>

#include "system/Messages.h"

namespace {

FileDialogFn CurrentFileDialog = nullptr;

constexpr size_t kFileBufferChars = 260;

}  // namespace

FileDialogFn SetFileDialogFn(FileDialogFn fn) {
    const FileDialogFn previous = CurrentFileDialog;
    CurrentFileDialog = fn;
    return previous;
}

// The save dialog must accept a name that does not exist yet, so OFN_FILEMUSTEXIST is only
// asked of the open dialog.
std::string ShowFileDialog(HWND owner, bool isSave, const std::string& title, const std::string& filter,
                           const std::string& defaultName, const std::string& defaultExt,
                           const std::string& initialDir) {
    if (defaultName.size() > kFileBufferChars) {
        ShowConfigMessage(owner, "Filename Length Overflow", std::string(kAppTitle) + " - FileDialog Function",
                          MB_ICONEXCLAMATION);
        return {};
    }
    // The filter's '|' separators become NULs, and the list ends with a second NUL.
    std::string filterList = filter;
    for (char& c : filterList) {
        if (c == '|') c = '\0';
    }
    filterList.append(2, '\0');
    std::string file(kFileBufferChars + 1, '\0');
    file.replace(0, defaultName.size(), defaultName);
    std::string fileTitle(kFileBufferChars + 1, '\0');

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filterList.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(kFileBufferChars);
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(kFileBufferChars);
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (isSave ? 0 : OFN_FILEMUSTEXIST);

    BOOL answered = FALSE;
    if (CurrentFileDialog) answered = CurrentFileDialog(&ofn, isSave);
    else answered = isSave ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);

    std::string result;
    if (answered == 1) result.assign(file.c_str());
    // The dialog loads shell code the program does not need afterwards.
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    return result;
}
