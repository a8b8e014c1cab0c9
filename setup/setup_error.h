// The one exception of the setup program: a message for the user. A fatal step
// of installing or uninstalling raises it; the program shows the message and ends.
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>
#include <utility>

namespace zt::setup {

class ESetupError : public std::exception {
 public:
  explicit ESetupError(QString message) : message_(std::move(message)), text_(message_.toUtf8()) {}
  const QString& Message() const { return message_; }
  const char* what() const noexcept override { return text_.constData(); }

 private:
  QString message_;
  QByteArray text_;
};

}  // namespace zt::setup
