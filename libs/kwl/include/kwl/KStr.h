#pragma once

#include <string>

// Text the core library hands back to its callers (object descriptions and the like).
using KStr = std::string;
