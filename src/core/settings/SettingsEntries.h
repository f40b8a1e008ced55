#pragma once

#include <string>

namespace kivo {

// The settings files and the entries the program keeps in them.

// zeltra.ini: one placement section per window, named after the window's procedure.
inline constexpr const char* kPlacementFileName = "zeltra.ini";
inline constexpr const char* kPlacementXPosit = "XPosit";
inline constexpr const char* kPlacementYPosit = "YPosit";
inline constexpr const char* kPlacementWidth = "Width";
inline constexpr const char* kPlacementHeight = "Height";
inline constexpr const char* kPlacementMaximize = "Maximize";

// ventanas.ini, in the start directory.
inline constexpr const char* kVentanasFileName = "ventanas.ini";
inline constexpr const char* kFormulaSection = "Formula";
// "Configuración" with the single byte 0xF3 for its ó, so that existing settings files are found.
inline constexpr const char* kConfigSection = "Configuraci\xF3n";
inline constexpr const char* kDirectorioKivo = "DirectorioKIVO";
inline constexpr const char* kPathArchivosTeam = "PathArchivosTeam";
inline constexpr const char* kPathEquipo = "PathEquipo";

// The default team-files directory: c:\kivo\data on Windows, ~/kivo/data elsewhere.
std::string DefaultDataDirectory();

// The settings a window reads from ventanas.ini, with their defaults.
std::string ReadDataDirectory(const std::string& ventanasPath);    // DirectorioKIVO
std::string ReadAnyFileDirectory(const std::string& ventanasPath); // PathArchivosTeam
std::string ReadLastTeamFile(const std::string& ventanasPath);     // PathEquipo

} // namespace kivo
