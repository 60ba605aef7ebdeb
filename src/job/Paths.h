#pragma once
// The one rule for paths: what counts as absolute, how a relative path is made
// absolute, and the folder a chosen file is remembered by.
#include <string>

namespace zorvek {

// "/..." here, and "C:\..." or "\\server\..." where older job files were written.
bool IsAbsolutePath(const std::string& path);

// Absolute and normalised against the current folder; unchanged when that fails.
std::string AbsolutePath(const std::string& path);

// A relative `path` taken from `baseFolder`, normalised; empty paths, absolute
// ones and any path with an empty base stay as they are.
std::string ResolveAgainst(const std::string& path, const std::string& baseFolder);

// This program's folder for the user's data, ending in '/':
// $XDG_DATA_HOME/Zorvek/, else ~/.local/share/Zorvek/; empty when neither variable is set.
std::string UserDataFolder();

// The folder of a chosen file, with its trailing separator ("" for a bare name).
std::string FolderOfChosenFile(const std::string& path);

}  // namespace zorvek
