// The page tests build real widgets, which need an application object; one is made for the whole
// test program, on the offscreen platform unless the environment says otherwise. The language
// texts come from the build's own folder.
#include "config/LocalStringsUnit.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app_ = std::make_unique<QApplication>(argc_, argv_);
        ASSERT_TRUE(LoadLanguageFiles(std::filesystem::path(TB_OUTPUT_DIR) / "tb_tests_app"));
    }
    void TearDown() override {
        UnloadLanguageFiles();
        app_.reset();
    }

private:
    int argc_ = 1;
    char name_[16] = "tb_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace
