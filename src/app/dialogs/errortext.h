#pragma once

#include <string>

#include "platform/error.h"

namespace tervasko {

// The sentence of an error in the active language: its lead and detail looked up in the
// translation table, the file and the values filled in, and the system's reason in the
// user's language where the table has it (the system's own words otherwise).
std::string DescribeError(const Error& error);

// The German sentence for a reason of the system's (errno), or nullptr.
const char* GermanSystemReason(int err);

}  // namespace tervasko
