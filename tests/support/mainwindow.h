#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "app/mainUnit.h"
#include "support/tempdir.h"

namespace tervasko::testing {

// The main window as a user has it, 1000 x 800 and active, with its program folder in a
// fresh temporary folder; failures it would show are collected instead.
class MainWindowTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<TMainForm> form;
    std::vector<std::string> errors;

    void SetUp() override {
        form = std::make_unique<TMainForm>(dir.path());
        form->Hooks().ShowError = [this](const std::string& text) { errors.push_back(text); };
        form->resize(1000, 800);
        form->show();
        QApplication::setActiveWindow(form.get());
        QApplication::processEvents();
    }
};

}  // namespace tervasko::testing
