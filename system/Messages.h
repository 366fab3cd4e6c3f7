// Every message box of both programs goes through ShowMessage, so the Windows tests can
// capture text, caption and flags through a hook instead of blocking on a modal box.
#pragma once

#include <cstdint>
#include <string>

inline constexpr const char kAppTitle[] = "Orvo PC Lock";

// Returns what the box returned (the button id), or what the hook returned.
int ShowMessage(const std::string& text, const std::string& caption, uint32_t flags);

// A replacement for the message box; nullptr restores the real one. Returns the previous hook.
using MessageHook = int (*)(const std::string& text, const std::string& caption, uint32_t flags);
MessageHook SetMessageHook(MessageHook hook);
