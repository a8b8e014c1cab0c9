// The ready sound, through Qt Multimedia's sound effect (PulseAudio or
// PipeWire, whichever the desktop runs).
#include "ui/ready_sound.h"

#include <QSoundEffect>
#include <QUrl>

#include "document/settings/config_manager.h"

namespace zt {

std::string ReadySoundFile(const TConfigManager& config) {
  return config.PlaySoundWhenReady ? config.SoundWhenReady : std::string();
}

void PlayReadySound(const TConfigManager& config) {
  const std::string file = ReadySoundFile(config);
  if (file.empty()) return;
  // One effect for the program: a new sound replaces the one still playing.
  static QSoundEffect* effect = new QSoundEffect;
  effect->setSource(QUrl::fromLocalFile(QString::fromStdString(file)));
  effect->play();
}

}  // namespace zt
