// The usage texts of ncmirror.
#pragma once

#include <string>

// The short form printed under a usage error.
std::string ShortUsage();

// The full --help text.
std::string HelpText();

// The --version line.
std::string VersionText();
