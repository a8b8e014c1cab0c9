// The rendering window (see render_form.h).
#include "ui/render_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>
#include <filesystem>

#include "document/disk/batch_render.h"
#include "document/disk/render_progress.h"
#include "document/settings/config_manager.h"
#include "platform/error.h"
#include "platform/user_interface.h"
#include "render/fractal_timer.h"
#include "ui/ready_sound.h"

namespace zt {
namespace {

// The timer runs Step this often; each tick steps until the job waits for its
// calculations, or this long at most, so that the window stays responsive.
constexpr int kTickMilliseconds = 30;
constexpr auto kStepBudget = std::chrono::milliseconds(40);

QString Text(const std::string& text) { return QString::fromStdString(text); }

QLabel* ValueLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

TRenderOptions WindowRenderOptions(const TConfigManager& config) {
  return {config.ThreadNumber, config.ThreadForePriority};
}

TRenderForm::TRenderForm(std::unique_ptr<TRenderJob> job, const TConfigManager& config,
                         QWidget* parent)
    : QWidget(parent, Qt::Window), job_(std::move(job)), config_(config) {
  setAttribute(Qt::WA_DeleteOnClose);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 1000);
  bar_->setTextVisible(false);
  progress_ = ValueLabel(this);
  elapsed_ = ValueLabel(this);
  remaining_ = ValueLabel(this);
  rate_ = ValueLabel(this);
  auto* temporary = ValueLabel(this);
  temporary->setText(Text(job_->TemporaryFile()));
  destination_ = ValueLabel(this);
  progress_->setObjectName(QStringLiteral("Progress"));
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  connect(cancel_, &QPushButton::clicked, this, &TRenderForm::Cancel);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Progress:"), progress_);
  form->addRow(QStringLiteral("Elapsed:"), elapsed_);
  form->addRow(QStringLiteral("Remaining:"), remaining_);
  form->addRow(QStringLiteral("Pixels/sec:"), rate_);
  form->addRow(QStringLiteral("Temporary file:"), temporary);
  form->addRow(QStringLiteral("Destination:"), destination_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(bar_);
  layout->addLayout(form);
  layout->addStretch(1);
  layout->addLayout(buttons);
  resize(460, sizeHint().height());

  job_->OnSaving = [this](double) {
    ShowFigures();
    // Lets the Cancel button and the window work while the image is written.
    QCoreApplication::processEvents();
    return !cancel_requested_;
  };
  timer_ = new QTimer(this);
  connect(timer_, &QTimer::timeout, this, &TRenderForm::Tick);
  timer_->start(kTickMilliseconds);
  ShowFigures();
}

TRenderForm::~TRenderForm() {
  // A window taken down with its parent keeps its render for a resume.
  if (!over_) job_->Cancel();
}

void TRenderForm::Tick() {
  if (stepping_ || over_) return;
  stepping_ = true;
  bool going = true;
  try {
    const auto until = std::chrono::steady_clock::now() + kStepBudget;
    do going = job_->Step();
    while (going && !job_->Waiting() && !cancel_requested_ &&
           std::chrono::steady_clock::now() < until);
  } catch (const EZentrope& e) {
    stepping_ = false;
    End(false);
    UserInterface().ShowMessage("Error", e.Message(), TMessageKind::kError);
    return;
  }
  stepping_ = false;
  if (cancel_requested_ && going) {
    job_->Cancel();
    going = false;
  }
  if (!going) {
    End(!job_->Cancelled());
    return;
  }
  ShowFigures();
}

void TRenderForm::ShowFigures() {
  const TRenderFigures f = job_->Figures();
  const std::string name = std::filesystem::path(f.Destination).filename().string();
  bar_->setValue(static_cast<int>(f.Share * 1000));
  destination_->setText(Text(f.Destination));
  if (f.Saving) {
    setWindowTitle(Text("Saving " + name));
    progress_->setText(QStringLiteral("Saving image..."));
    return;
  }
  setWindowTitle(Text(RenderingCaption(f.Share, name)));
  progress_->setText(
      Text(f.Batch ? BatchProgressText(f.Share, f.Image, f.Images) : ProgressText(f.Share)));
  elapsed_->setText(Text(FormatTime(f.Elapsed)));
  remaining_->setText(Text(RemainingText(f.Share, f.Elapsed)));
  rate_->setText(Text(PixelsPerSecondText(f.Width, f.Height, f.Share, f.Elapsed)));
}

void TRenderForm::End(bool done) {
  over_ = true;
  timer_->stop();
  emit Finished(done);
  if (done) {
    if (auto* batch = dynamic_cast<TBatchRender*>(job_.get());
        batch != nullptr && !batch->FinalMessage().empty())
      UserInterface().ShowMessage("Warning", batch->FinalMessage(), TMessageKind::kWarning);
    PlayReadySound(config_);
  }
  close();
}

void TRenderForm::Cancel() {
  if (over_) return;
  if (stepping_) {
    cancel_requested_ = true;  // the save under way stops at its next row
    return;
  }
  job_->Cancel();
  End(false);
}

void TRenderForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && !over_)
    job_->SetPriority(isActiveWindow() ? config_.ThreadForePriority : config_.ThreadBackPriority);
  QWidget::changeEvent(event);
}

void TRenderForm::closeEvent(QCloseEvent* event) {
  if (!over_) {
    Cancel();
    // Inside a save the window closes once the save has stopped.
    if (!over_) {
      event->ignore();
      return;
    }
  }
  QWidget::closeEvent(event);
}

TRenderForm* RunningRender(const std::string& temporary_file) {
  std::error_code error;
  const std::filesystem::path wanted = std::filesystem::weakly_canonical(temporary_file, error);
  for (QWidget* window : QApplication::topLevelWidgets()) {
    auto* form = qobject_cast<TRenderForm*>(window);
    if (form != nullptr && !form->Over() &&
        std::filesystem::weakly_canonical(form->Job().TemporaryFile(), error) == wanted)
      return form;
  }
  return nullptr;
}

std::string RunningRenderText(const std::string& destination) {
  return "'" + destination + "' is being rendered already.\rCancel that render first.";
}

TRenderForm* ShowRenderForm(std::unique_ptr<TRenderJob> job, const TConfigManager& config,
                            QWidget* parent) {
  auto* form = new TRenderForm(std::move(job), config, parent);
  form->show();
  form->activateWindow();
  return form;
}

TRenderForm* ResumeRenderFile(const std::string& file, const TConfigManager& config,
                              QWidget* parent) {
  if (TRenderForm* running = RunningRender(file)) {
    running->raise();
    running->activateWindow();
    return running;
  }
  std::unique_ptr<TRenderJob> job;
  try {
    job = OpenRenderFile(file, WindowRenderOptions(config));
  } catch (const EZentrope& e) {
    UserInterface().ShowMessage("Error", e.Message(), TMessageKind::kError);
    return nullptr;
  }
  return ShowRenderForm(std::move(job), config, parent);
}

}  // namespace zt
