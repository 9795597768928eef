// Compiled only by a test that expects the compiler to complain about both lines in
// dropped(): a failure that nobody looks at must not build.
#include "platform/error.h"

namespace {

tervasko::Error save() {
    return tervasko::Failure(tervasko::ErrorCode::NoFileName);
}

tervasko::Result<int> count() {
    return 1;
}

}  // namespace

void dropped() {
    save();
    count();
}
