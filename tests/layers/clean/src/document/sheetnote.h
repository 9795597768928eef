#pragma once

// System and library headers in angle brackets, a lower layer in either form.
#include <gtest/gtest.h>
#include <platform/error.h>
#include <sys/stat.h>

#include <QString>
#include <vector>

#include "platform/error.h"
