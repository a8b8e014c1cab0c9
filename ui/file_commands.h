// The File menu's commands on documents: new documents, the Open, Save, Save
// As, Save Copy, Save Parameters and Export Image dialogs, and what follows
// each dialog (the extension rules, the remembered folders, the error boxes).
#pragma once

#include <memory>
#include <string>

class QWidget;

namespace zt {

class TFractal;
class TMainWindow;

// User-interface thread only. Errors reach the person through the program's
// user interface; the functions return whether the work was done.

// A document of the default size, resolution and gamma with one default layer.
std::unique_ptr<TFractal> NewDocument(const std::string& title);
// Makes the document's present state the start of its undo history and marks
// it unmodified: a new or freshly loaded document has nothing to undo.
void StartHistory(TFractal& fractal);

// The Open dialog: every chosen file is opened by its extension.
void OpenWithDialog(TMainWindow& window);

// Save: to the document's file, or Save As when it has none.
bool SaveDocument(TFractal& fractal, QWidget* parent);
// The "Save Fractal" dialog, then SaveDocumentTo.
bool SaveDocumentAs(TFractal& fractal, QWidget* parent);
bool SaveDocumentCopy(TFractal& fractal, QWidget* parent);
// Appends ".zfr" unless the name ends in it (any case) and saves: as the
// document's file (SaveAs), or as a copy that leaves the document's file name,
// title and modified flag alone.
bool SaveDocumentTo(TFractal& fractal, const std::string& chosen, bool copy);

// The "Save Parameters" window.
void SaveParametersWithDialog(TFractal& fractal, QWidget* parent);

// The "Export Image" dialog proposing the file `name` in ExportDirectory, then
// the options window of the chosen format (whose OK stores its options).
// Stores the format in ExportFormat and, with UseLastDirectory, the folder in
// ExportDirectory. Answers the file with the format's extension and sets
// `format` (1 to 5), or answers "" when the person cancelled.
std::string ChooseExportFile(const std::string& name, QWidget* parent, int& format);
// `chosen` with the extension of format 1 to 5 appended unless it has it.
std::string WithExportExtension(const std::string& chosen, int format);

// ChooseExportFile for the document's title, then ExportDocumentTo.
bool ExportWithDialog(TFractal& fractal, QWidget* parent);
// Exports in format 1 BMP, 2 Photoshop, 3 PNG, 4 JPEG or 5 Targa, appending
// the format's extension unless the name has it (any case; JPEG takes ".jpg"
// and ".jpeg"). Answers the file written, or "" after a failure.
std::string ExportDocumentTo(TFractal& fractal, const std::string& chosen, int format);

}  // namespace zt
