// File helpers shared by both programs: the existence test every Part uses, whole-file reads,
// and a writer that replaces a file atomically so a failed write never destroys the old copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// True when the path, passed through TrimNull, is not empty and its attributes can be read
// (files and folders alike).
bool FileExists(const std::string& path);

// The first maxBytes bytes of the file (all of it when shorter); nothing when the file cannot
// be opened or read, or when it is larger than maxBytes and wholeFile is set.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path, std::size_t maxBytes,
                                                  bool wholeFile = false);

// Writes the bytes to a temporary file in the same folder, flushes it and moves it over path,
// waiting up to about half a second while another program holds either file. On failure the
// temporary file is removed and the old file at path is untouched.
bool ReplaceFileContents(const std::string& path, const std::vector<uint8_t>& bytes);
