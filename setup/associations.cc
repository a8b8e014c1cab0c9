// Removing the file associations of the main program.
#include "setup/associations.h"

#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace zt::setup {
namespace {

// The document types by extension, as the main program names them.
constexpr const char* kExtensions[] = {"zal", "zcl", "zdr", "zfm", "zfr", "zgr", "zpr", "zxf"};
constexpr char kTypePrefix[] = "application/x-zentrope-";
constexpr int kToolWait = 30000;  // milliseconds

bool IsDocumentType(const QByteArray& name) {
  for (const char* extension : kExtensions) {
    if (name.compare(kTypePrefix + QByteArray(extension), Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

void RunTool(const QString& tool, const QString& folder, const QString& data_home) {
  const QString program = QStandardPaths::findExecutable(tool);
  if (program.isEmpty()) return;
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_DATA_HOME"), data_home);
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.start(program, {folder});
  process.waitForFinished(kToolWait);
}

}  // namespace

QByteArray WithoutDocumentTypes(const QByteArray& mimeapps) {
  QByteArray kept;
  bool removed = false, has_values = false;
  for (const QByteArray& line : mimeapps.split('\n')) {
    const qsizetype equals = line.indexOf('=');
    if (equals >= 0 && IsDocumentType(line.left(equals).trimmed())) {
      removed = true;
      continue;
    }
    const QByteArray trimmed = line.trimmed();
    has_values = has_values || (!trimmed.isEmpty() && !trimmed.startsWith('['));
    kept += line + '\n';
  }
  if (!removed) return mimeapps;
  kept.chop(1);  // split made one line more than there were line ends
  return has_values ? kept : QByteArray();
}

void RemoveAssociations(const TUserFolders& folders) {
  const QString mime = folders.DataHome + QStringLiteral("/mime");
  const QString applications = folders.DataHome + QStringLiteral("/applications");
  if (QFile::remove(mime + QStringLiteral("/packages/zentrope.xml")))
    RunTool(QStringLiteral("update-mime-database"), mime, folders.DataHome);
  if (QFile::remove(applications + QStringLiteral("/zentrope.desktop")))
    RunTool(QStringLiteral("update-desktop-database"), applications, folders.DataHome);

  const QString list = folders.ConfigHome + QStringLiteral("/mimeapps.list");
  QFile in(list);
  if (!in.open(QIODevice::ReadOnly)) return;
  const QByteArray text = in.readAll();
  in.close();
  const QByteArray kept = WithoutDocumentTypes(text);
  if (kept == text) return;
  if (kept.isEmpty()) {
    QFile::remove(list);
    return;
  }
  QSaveFile out(list);
  if (out.open(QIODevice::WriteOnly) && out.write(kept) >= 0) out.commit();
}

}  // namespace zt::setup
