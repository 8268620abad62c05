#pragma once

// The skin packages of the program's skins folder: which files the options dialog lists
// and how a new one is copied in.

#include <string>
#include <vector>

namespace skinpackages {

inline constexpr char kExtension[] = ".krs";

// Names without ".krs" of the regular files whose name ends in exactly ".krs" (lower case),
// sorted; "a.krs.bak" and "b.KRS" are no packages.
std::vector<std::string> List(const std::string& skinsFolder);

// Copies the package at source into skinsFolder under its own file name. Refused: a name
// not ending in ".krs", a source that is no regular file, an existing target. On failure
// nothing is left behind and error says why; on success name is the listed name.
bool Install(const std::string& source, const std::string& skinsFolder, std::string& name,
             std::string& error);

// True when path is a regular file that starts as a zip archive does; what a skin switch
// checks before the current skin is given up.
bool LooksLikePackage(const std::string& path);

}  // namespace skinpackages
