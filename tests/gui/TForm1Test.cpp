#include "common/QtText.h"
#include "shell/TForm1.h"
#include "text/CpLiteral.h"

#include <QLabel>
#include <QMenuBar>
#include <gtest/gtest.h>

using namespace velt;

TEST(TForm1, MainWindowCarriesTheSystemsTitleAndCatalogueMenu) {
    gui::TForm1 form;
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Wyszukiwanie i katalogowanie"));
    ASSERT_NE(form.KatalogMenu(), nullptr);
    EXPECT_EQ(form.KatalogMenu()->title(), QString::fromUtf8("Katalog"));
    auto* label = form.findChild<QLabel*>("ConnectionLabel");
    ASSERT_NE(label, nullptr);
    // Server texts are shown as they are, never as markup.
    form.SetConnectionState(QStringLiteral("<b>127.0.0.1</b>"));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
}
