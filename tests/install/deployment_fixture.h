// A setup context with chosen modules and install paths, and an open progress box, for the
// deployment tests of both platforms.
#pragma once

#include <cstring>
#include <initializer_list>
#include <string>

#include "driver/catalogue.h"
#include "driver/progress_box.h"
#include "driver/setup_context.h"
#include "tests/install/install_test_support.h"

class DeploymentTest : public TestWorld {
  protected:
    void SetUp() override {
        TestWorld::SetUp();
        InitCommonControls();
        context_.reset(new SetupContext(kSuiteName, kProductCatalogue, kCatalogueRowCount));
        ASSERT_TRUE(box_.Open(nullptr));
    }
    void TearDown() override {
        box_.Close();
        context_.reset();
        TestWorld::TearDown();
    }
    // Selects exactly `modules`, each installed below `folder`, and sets the bar's range as
    // the install sequence does.
    void Select(std::initializer_list<DWORD> modules, const std::string& folder) {
        for (DWORD i = 0; i < context_->moduleCount; ++i) {
            context_->selected[i] = 0;
            context_->modules[i].installPath.reset();
        }
        for (DWORD module : modules) {
            context_->selected[module] = 1;
            SetInstallPath(module, folder + "\\" + kProductCatalogue[module].productName);
        }
        box_.SetRange(5 * static_cast<int>(modules.size()) + 4);
    }
    void SetInstallPath(DWORD module, const std::string& path) {
        context_->modules[module].installPath.reset(new char[MAX_PATH]);
        std::strncpy(context_->modules[module].installPath.get(), path.c_str(), MAX_PATH - 1);
        context_->modules[module].installPath[MAX_PATH - 1] = '\0';
    }
    int Position() {
        return static_cast<int>(SendDlgItemMessageA(box_.Window(), 900, PBM_GETPOS, 0, 0));
    }
    std::string Status() {
        char text[1024] = "";
        GetDlgItemTextA(box_.Window(), 901, text, sizeof text);
        return text;
    }
    std::string Contents(const std::string& path) {
        std::string bytes;
        EXPECT_TRUE(ReadTestFile(path, bytes)) << path;
        return bytes;
    }

    std::unique_ptr<SetupContext> context_;
    ProgressBox box_;
};
