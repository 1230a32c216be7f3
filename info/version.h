#pragma once

// The program's version, from the project's version in CMake: major.minor.revision. The splash
// shows major.minor, the about window all three.
inline constexpr int kVersionMajor = QUORVEL_VERSION_MAJOR;
inline constexpr int kVersionMinor = QUORVEL_VERSION_MINOR;
inline constexpr int kVersionRevision = QUORVEL_VERSION_PATCH;
