#pragma once

// A document header reaching up into the tools through angle brackets.
#include <tools/gesturestate.h>

#include <vector>
