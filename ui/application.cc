// Start-up step by step, the event loop and the exit.
#include "ui/application.h"

#include <QApplication>
#include <QEventLoop>
#include <QLocale>
#include <QSplashScreen>
#include <QTimer>
#include <clocale>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>

#include "document/fractal_file.h"
#include "document/settings/config_manager.h"
#include "platform/random.h"
#include "platform/user_interface.h"
#include "ui/command_options.h"
#include "ui/file_associations.h"
#include "ui/main_thread_pump.h"
#include "ui/main_window.h"
#include "ui/qt_progress_window.h"
#include "ui/qt_user_interface.h"
#include "ui/screenshot.h"
#include "ui/shown_windows.h"
#include "ui/single_instance.h"
#include "ui/splash_picture.h"
#include "ui/splash_timing.h"

namespace zt {
namespace {

// Lets the event loop run for `milliseconds`.
void RunEventsFor(std::uint32_t milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(milliseconds), &loop, &QEventLoop::quit);
  loop.exec();
}

bool AsksForHelp(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
  return false;
}

void ShowError(const std::string& text) {
  if (!text.empty()) UserInterface().ShowMessage("Error", text, TMessageKind::kError);
}

}  // namespace

int RunApplication(int argc, char** argv) {
  const TScreenshot::TClock::time_point started = TScreenshot::TClock::now();
  // Help needs no display.
  if (AsksForHelp(argc, argv)) {
    std::cout << kUsage;
    return 0;
  }
  QApplication application(argc, argv);
  // Qt set the C library's locale from the environment; numbers in files and
  // settings are always written and read with "." as decimal separator.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
  QApplication::setApplicationName(QStringLiteral("Zentrope"));
  QApplication::setApplicationVersion(QStringLiteral("2.0"));
  QApplication::setWindowIcon(ProgramIcon());

  QStringList arguments = QApplication::arguments();
  std::vector<std::string> words;
  for (qsizetype i = 1; i < arguments.size(); ++i) words.push_back(arguments[i].toStdString());
  const TCommandOptions options = ParseCommandOptions(words);
  if (!options.Error.empty()) {
    std::cerr << "zentrope: " << options.Error << "\nRun 'zentrope --help' for the options.\n";
    return 2;
  }
  const TShownWindow* shown = nullptr;
  if (!options.Show.empty()) {
    shown = FindShownWindow(options.Show);
    if (shown == nullptr) {
      std::cerr << "zentrope: --show knows no window '" << options.Show << "'; it knows "
                << ShownWindowNames() << "\n";
      return 2;
    }
  }
  // A screenshot run is a private one: it neither hands its files to a running
  // program nor asks questions.
  const bool screenshot = !options.Screenshot.empty();
  TSingleInstance instance;
  if (!screenshot && !instance.Claim(arguments)) return 0;

  TMainThreadPump pump;
  TQtUserInterface qt_interface;
  TScreenshotUserInterface screenshot_interface;
  TUserInterfaceGuard interface_guard(
      screenshot ? static_cast<TUserInterface&>(screenshot_interface) : qt_interface);
  TQtProgressWindow progress_window;
  TProgressWindowGuard progress_guard(progress_window);
  CheckZlibVersion();

  TConfigManager& config = ConfigManager();
  config.LoadAll();
  ShowError(config.ConnectError());
  ProgramRandom().SetSeed(TimeOfDaySeed());
  if (!screenshot) {
    const TFileAssociations associations(DefaultDataHome(), QApplication::applicationFilePath());
    CheckAssociationsAtStartup(associations, UserInterface(), config.CheckAssocAtStartup);
  }

  std::unique_ptr<QSplashScreen> splash;
  std::optional<TSplashTiming> splash_timing;
  if (!screenshot) {
    splash = std::make_unique<QSplashScreen>(SplashPicture());
    splash->show();
    splash_timing.emplace();
    RunEventsFor(splash_timing->UntilMainWindow());
  }

  TMainWindow window;
  window.RestoreLayout();
  if (options.Width > 0) {
    window.setWindowState(Qt::WindowNoState);
    window.resize(options.Width, options.Height);
  }
  window.show();
  QObject::connect(&instance, &TSingleInstance::FilesReceived, &window,
                   [&window](const QStringList& files) {
                     window.BringToFront(nullptr);
                     std::vector<std::string> names;
                     for (const QString& file : files) names.push_back(file.toStdString());
                     window.OpenFiles(names);
                   });
  if (splash) {
    // Over the main window also where no window manager keeps it on top.
    splash->raise();
    RunEventsFor(splash_timing->UntilClose());
    splash->close();
    splash.reset();
  }

  TScreenshot* shot = screenshot ? new TScreenshot(window, options.Screenshot, options.Timing,
                                                   started, shown, options.Files)
                                 : nullptr;
  QTimer::singleShot(0, &window, [&window, &options, shot] {
    window.RunStartup(options.Files);
    if (shot != nullptr) shot->Start();
  });
  const int status = QApplication::exec();

  // A screenshot run leaves the settings as they were.
  if (!screenshot) {
    window.SaveLayout();
    if (!config.SaveAll()) ShowError(config.SaveError());
  }
  return status;
}

}  // namespace zt
