// Writing, checking and offering the file associations of the desktop program.
#include "ui/file_associations.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <filesystem>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/atomic_output.h"

namespace zt {
namespace {

constexpr char kCaption[] = "Zentrope";
constexpr char kCreateQuestion[] =
    "Zentrope has determined that some of its native file types\rare not associated with "
    "Zentrope. \r\rDo you want to these file associations to be created?\r(Click Yes if you are "
    "unsure.)";
constexpr char kTurnOffQuestion[] =
    "Do you want to turn off this check in the future?\r(You can turn it back on in the "
    "Environment tab in the Options dialog.)";

constexpr char kDesktopEntryName[] = "zentrope.desktop";
// Milliseconds a desktop tool may take.
constexpr int kToolWait = 30000;

QString MimePackagePath(const QString& data_home) {
  return data_home + QStringLiteral("/mime/packages/zentrope.xml");
}

QString DesktopEntryPath(const QString& data_home) {
  return data_home + QStringLiteral("/applications/") + QLatin1String(kDesktopEntryName);
}

// `path` as one argument of an Exec line: quoted, with the characters that stay
// special inside quotes escaped and "%" doubled; then backslashes and control
// characters escaped as in every string of a desktop entry, so that no file
// name can end the line.
QString ExecArgument(const QString& path) {
  QString quoted;
  for (const QChar c : path) {
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
    quoted += c;
  }
  quoted.replace(u'%', QStringLiteral("%%"));
  quoted.replace(u'\\', QStringLiteral("\\\\"));
  quoted.replace(u'\n', QStringLiteral("\\n"));
  quoted.replace(u'\r', QStringLiteral("\\r"));
  quoted.replace(u'\t', QStringLiteral("\\t"));
  return u'"' + quoted + u'"';
}

// Starts a desktop tool that sees `data_home` as the user's data folder; null
// when the tool is not installed.
std::unique_ptr<QProcess> StartTool(const QString& tool, const QStringList& arguments,
                                    const QString& data_home) {
  const QString program = QStandardPaths::findExecutable(tool);
  if (program.isEmpty()) {
    qWarning("Zentrope: %s is not installed; file associations go without it", qPrintable(tool));
    return nullptr;
  }
  auto process = std::make_unique<QProcess>();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_DATA_HOME"), data_home);
  process->setProcessEnvironment(environment);
  process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process->start(program, arguments);
  return process;
}

// What a started tool printed, once it ended successfully.
std::optional<QByteArray> FinishTool(QProcess* process) {
  if (process == nullptr) return std::nullopt;
  if (!process->waitForFinished(kToolWait) || process->exitStatus() != QProcess::NormalExit ||
      process->exitCode() != 0) {
    qWarning("Zentrope: %s %s failed", qPrintable(process->program()),
             qPrintable(process->arguments().join(u' ')));
    return std::nullopt;
  }
  return process->readAllStandardOutput();
}

void RunTool(const QString& tool, const QStringList& arguments, const QString& data_home) {
  FinishTool(StartTool(tool, arguments, data_home).get());
}

// The whole file, or nothing when it cannot be read.
QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool SameIgnoringCase(const QByteArray& a, const QByteArray& b) {
  return QString::fromUtf8(a).compare(QString::fromUtf8(b), Qt::CaseInsensitive) == 0;
}

void WriteFile(const QString& path, const QByteArray& contents) {
  const std::filesystem::path file(QFile::encodeName(path).toStdString());
  std::error_code ignored;  // a folder that cannot be made fails the write below
  std::filesystem::create_directories(file.parent_path(), ignored);
  WriteFileAtomically(file, std::string_view(contents.constData(), contents.size()));
}

}  // namespace

QString MimeTypeName(const TFileType& type) {
  return QStringLiteral("application/x-zentrope-") + QLatin1String(type.Extension);
}

QByteArray MimePackage() {
  // Lower-case globs without a case-sensitive attribute match names in any case.
  QString xml = QStringLiteral(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
  for (const TFileType& type : kFileTypes) {
    xml += QStringLiteral("  <mime-type type=\"%1\">\n    <comment>%2</comment>\n")
               .arg(MimeTypeName(type), QLatin1String(type.Description));
    if (type.Text) xml += QStringLiteral("    <sub-class-of type=\"text/plain\"/>\n");
    xml += QStringLiteral("    <glob pattern=\"*.%1\"/>\n  </mime-type>\n")
               .arg(QLatin1String(type.Extension));
  }
  xml += QStringLiteral("</mime-info>\n");
  return xml.toUtf8();
}

QByteArray DesktopEntry(const QString& program) {
  QString types;
  for (const TFileType& type : kFileTypes) types += MimeTypeName(type) + u';';
  // Hidden from the menus: it only opens documents, like an association.
  return QStringLiteral(
             "[Desktop Entry]\n"
             "Type=Application\n"
             "Name=Zentrope\n"
             "Exec=%1 %F\n"
             "Icon=zentrope\n"
             "Terminal=false\n"
             "NoDisplay=true\n"
             "Categories=Graphics;\n"
             "MimeType=%2\n")
      .arg(ExecArgument(program), types)
      .toUtf8();
}

QString DefaultDataHome() {
  const QString data_home = qEnvironmentVariable("XDG_DATA_HOME");
  return data_home.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : data_home;
}

TFileAssociations::TFileAssociations(QString data_home, QString program)
    : data_home_(std::move(data_home)), program_(std::move(program)) {}

bool TFileAssociations::Check() const {
  if (!SameIgnoringCase(ReadFile(MimePackagePath(data_home_)), MimePackage()) ||
      !SameIgnoringCase(ReadFile(DesktopEntryPath(data_home_)), DesktopEntry(program_)))
    return false;
  // The eight questions run side by side: each starts a shell script.
  std::vector<std::unique_ptr<QProcess>> queries;
  for (const TFileType& type : kFileTypes) {
    queries.push_back(StartTool(
        QStringLiteral("xdg-mime"),
        {QStringLiteral("query"), QStringLiteral("default"), MimeTypeName(type)}, data_home_));
    if (!queries.back()) return true;  // nobody to ask: the files decide
  }
  for (const std::unique_ptr<QProcess>& query : queries) {
    const std::optional<QByteArray> entry = FinishTool(query.get());
    if (!entry) return true;  // no answer: the files decide
    if (QString::fromUtf8(*entry).trimmed().compare(QLatin1String(kDesktopEntryName),
                                                    Qt::CaseInsensitive) != 0)
      return false;
  }
  return true;
}

void TFileAssociations::Create() const {
  WriteFile(MimePackagePath(data_home_), MimePackage());
  WriteFile(DesktopEntryPath(data_home_), DesktopEntry(program_));
  RunTool(QStringLiteral("update-mime-database"), {data_home_ + QStringLiteral("/mime")},
          data_home_);
  RunTool(QStringLiteral("update-desktop-database"), {data_home_ + QStringLiteral("/applications")},
          data_home_);
  QStringList arguments{QStringLiteral("default"), QLatin1String(kDesktopEntryName)};
  for (const TFileType& type : kFileTypes) arguments.append(MimeTypeName(type));
  RunTool(QStringLiteral("xdg-mime"), arguments, data_home_);
}

void CheckAssociationsAtStartup(const TFileAssociations& associations, TUserInterface& ui,
                                bool& check_at_startup) {
  if (!check_at_startup || associations.Check()) return;
  if (ui.Ask(kCaption, kCreateQuestion, TButtons::kYesNo, TAnswer::kYes) != TAnswer::kNo) {
    try {
      associations.Create();
    } catch (const EZentrope& error) {
      ui.ShowMessage(kCaption, error.Message(), TMessageKind::kError);
    }
    return;
  }
  if (ui.Ask(kCaption, kTurnOffQuestion, TButtons::kYesNo, TAnswer::kNo) == TAnswer::kYes)
    check_at_startup = false;
}

}  // namespace zt
