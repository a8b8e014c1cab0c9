// The menu commands of the render and options windows: "Render to Disk..." and
// "New Batch Render..." in the File menu, "Options..." in the View menu.
#pragma once

#include <string>
#include <vector>

class QMenu;
class QWidget;

namespace zt {

class TMainWindow;

// User-interface thread only. Render to Disk is enabled while a document is
// active.
void AddRenderCommands(TMainWindow& window, QMenu* menu);
// After Apply or OK the tool bar and status bar follow the settings.
void AddOptionsCommand(TMainWindow& window, QMenu* menu);

// The windows as screenshot runs show them (see shown_windows.h): the options;
// Render to Disk for the active document (a new one when none is open); New
// Batch Render with the first file of the command line as its parameter file;
// and the rendering window of a render of the active document into the folder
// of the first file (or the temporary folder), which the run leaves cancelled.
QWidget* OpenOptionsWindow(TMainWindow& window, const std::vector<std::string>& files);
QWidget* OpenRenderToDiskWindow(TMainWindow& window, const std::vector<std::string>& files);
QWidget* OpenBatchRenderWindow(TMainWindow& window, const std::vector<std::string>& files);
QWidget* OpenRenderingWindow(TMainWindow& window, const std::vector<std::string>& files);

}  // namespace zt
