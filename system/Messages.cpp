// The message-box seam: the real MessageBoxA unless a test put a hook in place.
#include "system/Messages.h"

#include <windows.h>

namespace {
MessageHook CurrentHook = nullptr;
}

int ShowMessage(const std::string& text, const std::string& caption, uint32_t flags) {
    if (CurrentHook) return CurrentHook(text, caption, flags);
    // No owner: the program has no main window, and start-up messages come before any.
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
}

MessageHook SetMessageHook(MessageHook hook) {
    const MessageHook previous = CurrentHook;
    CurrentHook = hook;
    return previous;
}
