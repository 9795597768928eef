#pragma once

#include "support/fakehost.h"
