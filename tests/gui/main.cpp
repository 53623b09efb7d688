// The GUI tests run with Qt's offscreen platform and one QApplication, and
// with a configuration directory of their own (window sizes, stored logins
// and settings never reach the user's).
#include "gui/shell/TForm1.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() / ("velt-gui-tests-" + std::to_string(::getpid()));
    std::filesystem::create_directories(config);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    int status = 0;
    {
        QApplication app(argc, argv);
        velt::gui::TForm1::SetImageDirectory(VELT_PICTURE_DIR "/");
        ::testing::InitGoogleTest(&argc, argv);
        status = RUN_ALL_TESTS();
    }
    std::error_code ec;
    std::filesystem::remove_all(config, ec);
    return status;
}
