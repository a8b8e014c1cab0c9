// The fractal document: one image made of an ordered list of layers with the size,
// print resolution and gamma they share, its descriptive text, the merged bitmap
// the windows show, an undo history of whole-document snapshots and the
// calculation timer. Parameter files, fractal files and the exporters work on it
// through the accessors below.
//
// The members are spread by topic: fractal.cc (properties, changes, calculation
// bookkeeping), fractal_layers.cc (layers and snapshots), fractal_navigation.cc
// (zooming, panning, rotating, cropping), fractal_params.cc (parameter text) and
// fractal_files.cc (fractal files and image export).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "color/layer.h"
#include "color/layer_list.h"
#include "platform/error.h"
#include "platform/history_list.h"
#include "render/direct_bitmap.h"
#include "render/fractal_timer.h"
#include "render/update_manager.h"

namespace zt {

class TParReader;
class TParWriter;

class EFractalError : public EZentrope {
 public:
  using EZentrope::EZentrope;
};

inline constexpr const char* kUntitledTitle = "(untitled)";
inline constexpr int kHistoryDepth = 32;
inline constexpr std::size_t kMaxSnapshotText = 127;
inline constexpr double kMinResolution = 1;
inline constexpr double kMaxResolution = 10000;
inline constexpr double kMinGamma = 0.1;
inline constexpr double kMaxGamma = 10;

// The undo record of a whole document; the layer count is Layers.size().
struct TFractalSnapshot {
  int Width = 0;
  int Height = 0;
  double Resolution = 300;
  double Gamma = 2.5;
  std::string Title, Author, Created;  // at most kMaxSnapshotText characters each
  std::vector<std::string> Comments;
  double Elapsed = 0;  // the timer's elapsed time in days
  std::vector<TLayerSnapshot> Layers;
};

// Threads: the document lives on the user-interface thread; every operation is
// called there, and the layers deliver their calculation start and end there
// through the main-thread dispatcher. The update manager it owns reads the layers
// on its own thread and is held (BeginStop) while sizes or the list change.
//
// Invariants: once constructed there is at least one layer, the current index
// names one of them, resolution lies in [1, 10000] and gamma in [0.1, 10].
class TFractal {
 public:
  using TNotify = std::function<void(TFractal& sender)>;

  // One layer "Layer 1", defaults and settings-based text, a history with the
  // first snapshot.
  explicit TFractal(const std::string& title);
  ~TFractal();
  TFractal(const TFractal&) = delete;
  TFractal& operator=(const TFractal&) = delete;

  const std::string& Title() const { return title_; }
  // Changes without undo when different.
  void SetTitle(const std::string& title);
  const std::string& FileName() const { return file_name_; }
  void SetFileName(const std::string& name) { file_name_ = name; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Stops drawing, sizes the bitmap and every layer (which recalculates) and
  // records an undo step; negative sizes are ignored.
  void SetWidth(int width);
  void SetHeight(int height);
  double Resolution() const { return resolution_; }
  // Clamped; a change without undo when the clamped value differs.
  void SetResolution(double dpi);
  double Gamma() const { return gamma_; }
  void SetGamma(double gamma);
  const std::string& Author() const { return author_; }
  void SetAuthor(const std::string& author);
  const std::string& Created() const { return created_; }
  void SetCreated(const std::string& created);
  // 1 lowest, 2 low, 3 normal; handed to every layer.
  int Priority() const { return priority_; }
  void SetPriority(int priority);
  int ThreadCount() const { return thread_count_; }
  void SetThreadCount(int count);

  const std::vector<std::string>& Comments() const { return comments_; }
  // A change without undo when different.
  void SetComments(const std::vector<std::string>& comments);
  // Line `index` with every "$CALCTIME$" (any case) replaced by the calculation
  // time, or the estimated total while a layer calculates or is interrupted; ""
  // for an index outside the list.
  std::string CommentLine(int index);

  TLayerList& Layers() { return *layers_; }
  TDirectBitmap& Bitmap() { return *bitmap_; }
  TUpdateManager& UpdateManager() { return *update_manager_; }
  THistoryList<TFractalSnapshot>& History() { return *history_; }
  TFractalTimer& Timer() { return *timer_; }

  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }
  int LastChangeId() const { return last_change_id_; }
  int UpdateCount() const { return update_count_; }
  int CalculatingCount() const { return calculating_count_; }
  bool IsCalculating() const { return calculating_count_ >= 1; }
  // Some layer holds an interrupted calculation.
  bool IsPartlyCalculated() const;

  // Batch changes: reported once by the outermost EndUpdate. Also brackets every
  // layer and holds the update manager's drawing.
  void BeginUpdate();
  void EndUpdate();
  // Records a change: outside brackets with a new history entry (undo) or by
  // replacing the current one, then OnChange.
  void Changed(bool undo);

  int CurrentIndex() const { return current_index_; }
  TLayer& CurrentLayer() { return (*layers_)[current_index_]; }
  // Raises EFractalError "Cannot set current layer" for an index outside the list.
  // The layer becomes visible and the only selected one unless already selected.
  void SetCurrentLayer(int index);

  // A layer wired to this document (notifications, priority, thread count, size),
  // with its initial update bracket still open.
  std::unique_ptr<TLayer> NewLayer();
  // Appends a layer made by NewLayer and brings its update depth to the document's.
  void AppendLayer(std::unique_ptr<TLayer> layer);
  // Inserts a copy of the current layer (settings, calculation state and pixels)
  // before it; with no layers, appends a fresh one. Returns the new layer.
  TLayer& AddLayer(const std::string& caption);
  // Frees the layer; false (nothing done) for an index outside the list or the
  // only layer, which the document must keep.
  bool DeleteLayer(int index);
  void MoveLayer(int from, int to);
  // Empties the list (the invariant holds again once a layer is appended).
  void ClearLayers();

  // Write the image under a progress window, with the export options of the
  // settings (Photoshop layers, JPEG quality and baseline). Raise EExportError;
  // a destination that existed stays as it was after a failure.
  void ExportBMP(const std::string& file_name);
  void ExportPSD(const std::string& file_name);
  void ExportPNG(const std::string& file_name);
  void ExportTGA(const std::string& file_name);
  void ExportJPEG(const std::string& file_name);

  std::unique_ptr<TFractalSnapshot> CaptureSnapshot();
  // Restores the document from `snapshot`; the size stays with `keepSize`.
  void RestoreSnapshot(const TFractalSnapshot& snapshot, bool keep_size);
  void Undo() { history_->Undo(); }
  void Redo() { history_->Redo(); }

  // Navigation of the selected layers; each stops their calculation, previews the
  // move through the update manager (animated when `animate`) and recalculates
  // with the old pixels left visible.
  // Magnifies by `factor` about the pixel (x, y), which stays in place, or
  // becomes the center when `toCenter` and the ZoomDestination setting is 1.
  void Zoom(int x, int y, double factor, bool to_center, bool animate);
  // The rectangle's center becomes the center, the angle grows by `angleDelta`
  // (radians) and the rectangle's width fills the image.
  void ZoomToRectangle(int left, int top, int width, int height, double angle_delta, bool animate);
  // Moves the image by (dx, dy) pixels on the screen.
  void Pan(int dx, int dy, bool animate);
  void Rotate(double angle_delta, bool animate);
  // The rectangle becomes the image; pixels already calculated are kept when it
  // lies inside the image and nothing calculates. Sizes below 1 are ignored.
  void Crop(int left, int top, int width, int height);

  // Writes the comment lines (with the calculation time), the "fractal" section
  // and every layer, then closes the entry. A given title is written and
  // becomes the document's title without touching the modified flag.
  void SaveToParameters(TParWriter& w, const std::string* title);
  // The same with another width and height written, for a disk render whose
  // document holds no pixels of the size it renders.
  void SaveToParameters(TParWriter& w, const std::string* title, int width, int height);
  // Replaces the document with the parameter set `r` stands on, under one update
  // bracket. With `ignoreSize` the text's width, height, resolution and gamma
  // are skipped. An entry whose first item is a key is a Fractint parameter
  // entry and goes to the Fractint import (document/fractint/fractint_import.h).
  // Raises EInvalidParFile for a broken structure (the document keeps what was
  // read so far) and the import's errors.
  void LoadFromParameters(TParReader& r, bool ignore_size);

  // Writes the fractal file `name`; an existing file is replaced only once the
  // new one is complete. Raises the writer's errors.
  void SaveToFile(const std::string& name);
  // SaveToFile, then the document belongs to `name`: file name, title (the name
  // without folder and extension), not modified, OnChange.
  void SaveAs(const std::string& name);
  // Reads the fractal file `name`. A failure shows the reader's error and raises
  // EFractalError "Error opening '%s'"; file name, title and the modified flag
  // keep their values then.
  void LoadFromFile(const std::string& name);

  TNotify OnCalculationStart;
  TNotify OnCalculationEnd;
  TNotify OnChange;

 private:
  void LoadDefaultText();
  void WireLayer(TLayer& layer);
  void LayerChanged(TLayerCalculate& layer, int code);
  void CalculationStarted(TLayerCalculate& layer);
  void CalculationEnded(TLayerCalculate& layer);
  void ListChanged();
  void RequestMerge();
  // Brings a newly added layer's update depth (1) to the document's.
  void SyncUpdateDepth(TLayer& layer);
  void UndoRedone();
  void FireChange();
  TPixelCount CountPixels() const;
  // Stops the selected layers, lets them keep their pixels through the coming
  // recalculation and returns them.
  std::vector<TLayer*> PrepareNavigation();
  void SetSize(int width, int height);

  std::string title_ = kUntitledTitle;
  std::string file_name_;
  int width_ = 0;
  int height_ = 0;
  double resolution_ = 300;
  double gamma_ = 2.5;
  std::unique_ptr<TLayerList> layers_;
  std::unique_ptr<TDirectBitmap> bitmap_;
  // Reads layers_ and writes bitmap_ on its thread: destroyed before them.
  std::unique_ptr<TUpdateManager> update_manager_;
  std::unique_ptr<THistoryList<TFractalSnapshot>> history_;
  std::vector<std::string> comments_;
  std::unique_ptr<TFractalTimer> timer_;
  std::string author_;
  std::string created_;
  int priority_ = 2;
  int thread_count_ = 1;
  int calculating_count_ = 0;
  int current_index_ = 0;
  bool modified_ = false;
  int update_count_ = 0;
  bool change_pending_ = false;
  bool undo_pending_ = false;
  int last_change_id_ = 0;
};

}  // namespace zt
