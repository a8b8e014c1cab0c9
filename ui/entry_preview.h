// The entry browser's small picture of a parameter set: the set loads into a
// document of a preview size and calculates on the document's own threads with
// the browser preview settings (BrowserMethod, BrowserPerCheck,
// BrowserPriority); Ready carries the finished image. A new request, Cancel or
// the object's end stops the calculation that runs.
#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QTimer>
#include <memory>
#include <string>

namespace zt {

class TFractal;

// The largest size of the set's aspect (width × height; unknown when either is
// not above 0) that fits `box`; at least 1 × 1.
QSize PreviewSize(int width, int height, QSize box);

// User-interface thread only. Loading and compiling the set run on this
// thread after a short pause (so that running through a list does not load
// every set), the calculation on the document's threads; nothing waits for it.
class TEntryPreview : public QObject {
  Q_OBJECT

 public:
  explicit TEntryPreview(QSize box, QObject* parent = nullptr);
  ~TEntryPreview() override;

  // Shows `entry` of `file` next; what was asked before is dropped.
  void Request(const std::string& file, const std::string& entry);
  // Drops the pending request and stops the calculation.
  void Cancel();
  // A request waits or calculates.
  bool Busy() const;
  // The document that calculates now (tests watch it); null when none.
  TFractal* Document() const { return fractal_.get(); }

 signals:
  void Ready(const QImage& image, const QString& entry);
  void Failed(const QString& message, const QString& entry);

 private:
  void Start();
  void Check();

  QSize box_;
  QTimer delay_;
  QTimer poll_;
  std::string file_;
  std::string entry_;
  std::unique_ptr<TFractal> fractal_;
};

}  // namespace zt
