// The fixture of the CAD tool windows' tests: a window of type `Window` made
// with recorded dialogs and a settings file in a scratch folder, and its
// controls found by object name.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "tests/fake_dialogs.h"
#include "tests/test_support.h"
#include "tools/cad/cad_automation.h"

namespace coordconv::testing {

// The CAD program is not running.
inline std::unique_ptr<CadAutomation> NoCad() { return nullptr; }

template <typename Window>
class CadWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<Window> Open(CadAttach attach = NoCad) {
        auto window = std::make_unique<Window>(nullptr, dialogs, std::move(attach), settings_path);
        window->show();
        return window;
    }
    template <typename Control>
    static Control* Find(const QWidget& window, const char* name) {
        auto* control = window.findChild<Control*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    static void SetText(const QWidget& window, const char* name, const char* text) {
        Find<QLineEdit>(window, name)->setText(QString::fromUtf8(text));
    }
    static std::string Text(const QWidget& window, const char* name) {
        return Find<QLineEdit>(window, name)->text().toStdString();
    }

    ScratchDir scratch;
    std::string settings_path = scratch.Path("Merivox.ini");
    FakeDialogs dialogs;
};

}  // namespace coordconv::testing
