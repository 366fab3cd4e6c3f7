// Shared by the configuration dialog tests: a fixture that opens the dialog modeless in this
// process with its settings, file and images in a scratch folder, recorders for message boxes,
// file dialogs and shell calls (with scripted answers), and helpers that find and drive controls.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "configui/ConfigDialog.h"

namespace configtest {

struct ShownMessage {
    std::string Text;
    std::string Caption;
    uint32_t Flags = 0;
};

struct FileDialogCall {
    bool IsSave = false;
    std::string Title;
    std::string Filter;       // with its NUL separators, up to the double NUL
    std::string DefaultName;  // what the file buffer held when the dialog opened
    DWORD Flags = 0;
};

struct ShellCall {
    std::string Verb, File, Params;
    bool HasOwner = false;
    int Show = 0;
};

// Everything recorded since the fixture's SetUp, and the answers still to give.
struct Recorder {
    std::vector<ShownMessage> Messages;
    std::deque<int> MessageAnswers;          // IDYES / IDNO ...; IDOK when empty
    std::vector<FileDialogCall> FileDialogs;
    std::deque<std::string> FileAnswers;     // a path, or "" for Cancel
    std::vector<ShellCall> ShellCalls;
};
Recorder& Recorded();

class ConfigDialogFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Opens the dialog modeless on the current Config; fails the test when it does not appear.
    HWND Open();

    std::string folder_;   // scratch folder, ends with '\'
    HWND dialog_ = nullptr;
};

// Defaults plus the default pattern, as a first run leaves them.
void UseDefaultConfig();

HWND FindControl(HWND dialog, int id);
// Position and size relative to the control's parent client area.
RECT ControlRect(HWND control);
std::string WindowText(HWND control);
std::vector<std::string> ListEntries(HWND list);
int ListSelection(HWND list);
// As the user picking an entry: the selection and then the list's CBN_SELCHANGE.
void PickListEntry(HWND dialog, int id, int index);
void Click(HWND dialog, int id);
// Runs the messages already queued for this thread.
void Pump();
// The persistent image of a picture box (0x00RRGGBB, top-down).
std::vector<uint32_t> BoxPixels(HWND dialog, int id, int& width, int& height);

std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// A small 24-bit bitmap file of one colour.
std::string SolidBitmapFile(int width, int height, COLORREF color);

}  // namespace configtest
