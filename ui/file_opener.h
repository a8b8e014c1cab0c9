// Opening a file by its extension, for the Open command, the command line,
// forwarded command lines, dropped files and the recent-file list.
#pragma once

#include <string>

namespace zt {

class TMainWindow;

// User-interface thread only. By extension, without regard to case:
// .zfr opens the fractal file in a new window, or, when a window holds that
// file already, asks whether to revert to the saved version and brings that
// window to the front; .zpr and .par let the person choose a parameter set in
// the entry browser and open it as a new document; .zgr and .zal let the person
// choose an entry and open it in a gradient or alpha channel editor of its own,
// .map opens as a new gradient in a gradient editor; .zdr resumes its render in
// a rendering window; every other file (formula, coloring and transformation
// collections) opens as text in the formula editor. Errors are shown; true when
// a document was opened or reverted or an editor shows the file.
bool OpenFileByExtension(TMainWindow& window, const std::string& file_name);

}  // namespace zt
