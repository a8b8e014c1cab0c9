// Setup shared by the fuzz targets. Each target runs its inputs one after another
// on the process's one thread, which is therefore the main thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace zt::fuzz {

// Once per process: makes the calling thread the main thread, points the
// settings store and the collection folders at a private scratch folder and the
// source tree's data/, and installs a user interface that shows nothing,
// answers every question with its default and browses nothing. Returns the
// scratch folder, removed at exit.
const std::filesystem::path& Setup();

// Writes the input to `name` in the scratch folder and returns its path.
std::string WriteInput(const std::string& name, const std::uint8_t* data, std::size_t size);

}  // namespace zt::fuzz
