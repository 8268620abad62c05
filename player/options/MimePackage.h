#pragma once

// The player's own MIME types as a shared-mime-info package in the user's data folder:
// each type with its comment and the glob that gives files the type, once the MIME
// database has been rebuilt from the package.

#include <string>
#include <vector>

namespace mimepackage {

inline constexpr char kFileName[] = "kalvor.xml";
// Rebuilds a MIME folder's database from its packages; its one argument is the folder.
inline constexpr char kUpdateProgram[] = "update-mime-database";

struct Type {
    std::string name;     // "video/x-kalvor-m2v"
    std::string comment;  // "MPEG2 Video"
    std::string glob;     // "*.m2v"; shared-mime-info matches it in either case
};

// The package's whole text.
std::string Build(const std::vector<Type>& types);

}  // namespace mimepackage
