// The sound played when a fractal or a render is ready: the file of the
// SoundWhenReady setting (a WAV file) when PlaySoundWhenReady is on.
#pragma once

#include <string>

namespace zt {

class TConfigManager;

// The file to play now, or "" (the setting is off, or no file is named).
std::string ReadySoundFile(const TConfigManager& config);

// Plays ReadySoundFile without waiting; a file that cannot be played stays
// silent, as a missing sound device does. User-interface thread only.
void PlayReadySound(const TConfigManager& config);

}  // namespace zt
