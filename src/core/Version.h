#pragma once

// The program's name and version as it shows them and stamps them into the settings store.
namespace tarvolo {
inline constexpr const char kAppName[] = "Tarvolo";
inline constexpr const char kAppNameVer[] = "Tarvolo v 1.5";
} // namespace tarvolo
