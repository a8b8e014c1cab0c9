// Hands a file or URL to the desktop's opener (xdg-open), which starts the program
// the user associated with it: the help viewer or web browser.
//
// Thread safety: any thread; each call starts and waits for its own process.
#pragma once

#include <functional>
#include <string>

namespace zt {

// Opens `target` with `opener` (a program searched on PATH, started directly
// without a shell, `target` its only argument). Returns false when the program
// could not be started or reported a failure through its exit status.
bool OpenDocument(const std::string& target, const std::string& opener = "xdg-open");

// How entry objects open help: OpenDocument, or a recording stand-in in tests.
using TDocumentOpener = std::function<bool(const std::string& target)>;

}  // namespace zt
