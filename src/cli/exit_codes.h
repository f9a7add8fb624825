#pragma once

namespace pelmar {

// The exit codes of pelmar-cli, one list for every verb (the usage text and
// README.md name them).
inline constexpr int kDone = 0;
inline constexpr int kUsage = 2;
inline constexpr int kNotReadable = 3;
inline constexpr int kNotSaved = 4;
inline constexpr int kScriptRefused = 5;
inline constexpr int kSettingRefused = 6;
inline constexpr int kNoChart = 7;
// The portfolio is in use by another program (its lock file names it).
inline constexpr int kInUse = 8;

}  // namespace pelmar
