#pragma once

#include "core/ProjectVersion.h" // generated from the CMake project version

// The program's name and version as it shows them and stamps them into the settings store.
namespace tarvolo {
inline constexpr const char kAppName[] = TARVOLO_PROJECT_NAME;
inline constexpr const char kAppVersion[] = TARVOLO_PROJECT_VERSION;
inline constexpr const char kAppNameVer[] = TARVOLO_PROJECT_NAME " v " TARVOLO_PROJECT_VERSION;
} // namespace tarvolo
