#include "shell/TForm1.h"

#include "common/QtText.h"
#include "text/CpLiteral.h"

#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

namespace velt::gui {

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    setWindowTitle(toQString("Wyszukiwanie i katalogowanie"_cp));
    mKatalogMenu = menuBar()->addMenu(toQString("Katalog"_cp));
    mKatalogMenu->setObjectName("KatalogMenu");
    QAction* quit = mKatalogMenu->addAction(toQString("Zakończ"_cp));
    quit->setObjectName("ZakonczItem");
    connect(quit, &QAction::triggered, this, &QWidget::close);
    mConnectionLabel = new QLabel(this);
    mConnectionLabel->setObjectName("ConnectionLabel");
    mConnectionLabel->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(mConnectionLabel, 1);
    SetConnectionState(toQString("Brak połączenia"_cp));
}

void TForm1::SetConnectionState(const QString& text) { mConnectionLabel->setText(text); }

}  // namespace velt::gui
