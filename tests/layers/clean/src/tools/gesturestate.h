#pragma once

#include <document/sheetnote.h>

#include "view/viewtransform.h"
