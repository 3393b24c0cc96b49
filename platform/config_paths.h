#pragma once
// Where the program keeps its settings, after the XDG base directory rules.

#include <string>

// $XDG_CONFIG_HOME, or ~/.config when it is unset, empty or not an absolute
// path (the rules say to ignore a relative one). "" when no home folder is
// known either.
std::string ConfigHome();

// The settings store: <ConfigHome>/nimbrel-vizor/registry.reg, or "" when
// ConfigHome() is "".
std::string RegistryFilePath();
