// The running program's path and the version values of a file's version resource.
#pragma once

#include <string>

#include "system/StartupText.h"

std::string ExecutablePath();
// The version of this executable from its own version resource (0.0.0 without one).
AppVersion ReadAppVersion();
AppVersion ReadFileAppVersion(const std::string& path);
// A text of a file's version resource ("LegalCopyright" ...) in its first language; "" when
// missing.
std::string ReadVersionString(const std::string& path, const std::string& name);
