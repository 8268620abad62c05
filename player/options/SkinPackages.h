#pragma once

// The skin packages: where they are looked up (the user's own skins folder, then the
// program's), which files the options dialog lists and how a new one is copied in.

#include <string>
#include <vector>

namespace skinpackages {

inline constexpr char kExtension[] = ".krs";

// The folders packages are looked up in, in order: "skins" below the user's application
// data folder, where installing writes (an installed program cannot write its own folder),
// then "skins" below the program folder. An empty folder name is left out.
std::vector<std::string> Folders(const std::string& appDataFolder,
                                 const std::string& programFolder);
// The package a name stands for: in the first folder that holds it; empty when none does.
std::string Find(const std::vector<std::string>& folders, const std::string& name);
// The names of every folder's packages, each once, sorted.
std::vector<std::string> ListAll(const std::vector<std::string>& folders);

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
