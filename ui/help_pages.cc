// Opening the shipped help pages.
#include "ui/help_pages.h"

#include <QDesktopServices>
#include <QUrl>
#include <filesystem>

#include "platform/format.h"
#include "platform/program_folder.h"
#include "platform/user_interface.h"

namespace zt {
namespace {

std::string PageFile(const char* page) { return ProgramFolder() + "help/" + page; }

}  // namespace

std::string HelpPageAddress(const char* page, const std::string& topic) {
  QUrl url = QUrl::fromLocalFile(QString::fromStdString(PageFile(page)));
  if (!topic.empty()) url.setFragment(QString::fromStdString(topic));
  return url.toString().toStdString();
}

void OpenHelpPage(const char* page, const std::string& topic) {
  const std::string file = PageFile(page);
  if (!std::filesystem::is_regular_file(file) ||
      !QDesktopServices::openUrl(QUrl(QString::fromStdString(HelpPageAddress(page, topic)))))
    UserInterface().ShowMessage("Error", Format("Could not open '%s'", file.c_str()),
                                TMessageKind::kError);
}

}  // namespace zt
