// The ready sound plays only when switched on with a file named, and a WAV
// file plays without a sound device.
#include "ui/ready_sound.h"

#include <gtest/gtest.h>

#include <QTest>
#include <cstdint>
#include <string>

#include "document/settings/config_manager.h"
#include "testing/test_support.h"

namespace zt {
namespace {

// A WAV file of `samples` silent 8-bit mono samples at 8000 Hz.
std::string SilentWave(int samples) {
  std::string wave;
  const auto put = [&wave](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) wave += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  wave += "RIFF";
  put(36 + samples, 4);
  wave += "WAVEfmt ";
  put(16, 4);    // format chunk size
  put(1, 2);     // PCM
  put(1, 2);     // mono
  put(8000, 4);  // samples a second
  put(8000, 4);  // bytes a second
  put(1, 2);     // bytes a sample
  put(8, 2);     // bits a sample
  wave += "data";
  put(samples, 4);
  wave += std::string(samples, '\x80');
  return wave;
}

TEST(ReadySound, PlaysTheNamedFileWhenSwitchedOn) {
  testing::TempDir dir;
  TConfigManager config(dir.path());
  const std::string file = dir.Write("ready.wav", SilentWave(800)).string();
  const struct {
    bool On;
    std::string File;
    std::string Played;
  } kCases[] = {{false, file, ""}, {true, "", ""}, {true, file, file}};
  for (const auto& c : kCases) {
    config.PlaySoundWhenReady = c.On;
    config.SoundWhenReady = c.File;
    EXPECT_EQ(ReadySoundFile(config), c.Played);
    PlayReadySound(config);
  }
  QTest::qWait(50);  // the effect loads and plays, or finds no device, without harm
}

}  // namespace
}  // namespace zt
