#pragma once

namespace lirako {

// What loading a data file found.
enum class LoadState {
  kMissing,     // there is no file
  kClean,       // the file was read whole, exactly as its format has it
  kDamaged,     // it is outside the format somewhere; what was intact before the damage was used
  kUnreadable,  // it exists but cannot be read
};

}  // namespace lirako
