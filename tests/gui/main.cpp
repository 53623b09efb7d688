// The GUI tests run with Qt's offscreen platform and one QApplication.
#include "gui/shell/TForm1.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    velt::gui::TForm1::SetImageDirectory(VELT_PICTURE_DIR "/");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
