#pragma once

#include <gtest/gtest.h>

#include <QObject>
#include <memory>
#include <stdexcept>
#include <string>

namespace tervasko::testing {

// The widget, action or other object named `name` below `root` (its objectName, which is the
// name the window gives it). A missing or differently typed one fails the test there.
template <class W>
W* Find(const QObject* root, const char* name) {
    W* found = root ? root->findChild<W*>(QString::fromUtf8(name)) : nullptr;
    if (!found) {
        ADD_FAILURE() << "no " << name << " of the expected type";
        throw std::runtime_error(std::string("missing ") + name);
    }
    return found;
}

template <class W>
W* Find(const QObject& root, const char* name) {
    return Find<W>(&root, name);
}

template <class W, class T>
W* Find(const std::unique_ptr<T>& root, const char* name) {
    return Find<W>(root.get(), name);
}

}  // namespace tervasko::testing
