// Shared pieces of the dialog tests: the program's language files loaded from the build's output
// folder, and a way to act on a modal dialog from inside its own event loop.
#pragma once

#include "config/LocalStringsUnit.h"

#include <QTimer>

class QWidget;

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

class DialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(LoadLanguageFiles(std::filesystem::path(TB_OUTPUT_DIR) / "tollerbank3"));
    }
    static void TearDownTestSuite() { UnloadLanguageFiles(); }

    // Runs `action` once the event loop of the coming modal dialog turns.
    static void whenModal(std::function<void()> action) {
        QTimer::singleShot(0, std::move(action));
    }
};

// Types text key by key as a keyboard layout would deliver it, including characters outside
// ASCII (for which Qt's own test helpers have no key).
void typeText(QWidget* widget, const QString& text);
