// Opening a document with the program the desktop associates with it.
#pragma once

#include <filesystem>
#include <functional>

// Result codes: above 32 when the program was started; otherwise 0 (out of resources),
// 2 (file not found), 3 (folder not found) or 31 (no program is associated).
inline constexpr int kLaunchStarted = 33;

using DocumentLauncher = std::function<int(const std::filesystem::path& file, const std::filesystem::path& workingFolder)>;

// Starts the desktop's opener ("xdg-open") with the file as its one argument (no shell), in the
// working folder, without waiting for it.
int OpenDocument(const std::filesystem::path& file, const std::filesystem::path& workingFolder);

// Replaces the launcher (tests); an empty function restores the default.
void SetDocumentLauncher(DocumentLauncher launcher);
