// The settings that steer a compilation, handed to each entry object as a value
// by its owner (the document reads them from the settings store).
#pragma once

namespace zt {

struct TCompileOptions {
  int TabSize = 2;                  // blanks per tab character, 1 to 16
  bool GenerateWarnings = true;     // report warnings through OnMessage
  bool StrictTypeChecking = false;  // no implicit narrowing conversions

  bool operator==(const TCompileOptions&) const = default;
};

}  // namespace zt
