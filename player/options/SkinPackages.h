#pragma once

// The skin packages: where they are looked up (the user's own skins folder, then the
// program's), which files the options dialog lists and how a new one is copied in.

#include <optional>
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

// The package the player starts with: the named one when it is a plain name that can be read,
// from the first folder that holds it; else the first package by file name, its extension
// in any case, the earlier folder's first among equal names. Nothing when there is none.
struct StartPackage {
    std::string path;
    std::string name;    // the file name without its extension
    bool named = false;  // the name asked for, not the first one found
};
std::optional<StartPackage> ChooseStartPackage(const std::vector<std::string>& folders,
                                               const std::string& name);

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
