#include "gui/browse/Tjpg_form.h"

#include "browse/JpegPicture.h"
#include "gui/common/QtText.h"
#include "gui/common/TOknoKomunikatu.h"
#include "text/CpLiteral.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cmath>

namespace velt::gui {

Tjpg_form::Tjpg_form(QWidget* parent) : QDialog(parent) {
    setObjectName("jpg_form");
    setWindowTitle(toQString("Wyswietlanie pliku JPG"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint | Qt::WindowMaximizeButtonHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* menu = new QMenuBar(this);
    Drukuj1 = menu->addAction(toQString("&Drukuj"));
    Drukuj1->setShortcut(QKeySequence::Print);
    connect(Drukuj1, &QAction::triggered, this, [this] { Print(); });
    layout->setMenuBar(menu);
    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName("ScrollBox");
    ScrollBox->setAlignment(Qt::AlignCenter);
    Image1 = new QLabel;
    Image1->setObjectName("Image1");
    Image1->setScaledContents(true);
    Image1->installEventFilter(this);
    ScrollBox->setWidget(Image1);
    layout->addWidget(ScrollBox);
}

bool Tjpg_form::Load(const std::string& path) {
    QFile f(toQPath(path));
    QByteArray bytes;
    if (f.open(QIODevice::ReadOnly)) bytes = f.read(256 << 20);
    const RgbPicture decoded = DecodeJpeg(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!decoded.Ok()) {
        show_error(decoded.error.empty() ? "Uszkodzony plik JPEG"_cp : decoded.error);
        return false;
    }
    mPicture = QImage(decoded.rgb.data(), decoded.width, decoded.height, decoded.width * 3, QImage::Format_RGB888).copy();
    Image1->setPixmap(QPixmap::fromImage(mPicture));
    setWindowTitle(toQString("Plik "_cp + path));
    mZoomed = false;
    if (const QScreen* s = QGuiApplication::primaryScreen()) setGeometry(s->availableGeometry());
    Fit();
    return true;
}

void Tjpg_form::Fit() {
    if (mPicture.isNull()) return;
    const QSize client = ScrollBox->viewport()->size();
    const double q = static_cast<double>(mPicture.width()) / mPicture.height();
    const double c = client.height() > 0 ? static_cast<double>(client.width()) / client.height() : q;
    QSize box = client;
    if (q > c)
        box.setHeight(static_cast<int>(std::lround(box.width() / q)));
    else
        box.setWidth(static_cast<int>(std::lround(q * box.height())));
    Resize(box);
    ScrollBox->horizontalScrollBar()->setValue(0);
    ScrollBox->verticalScrollBar()->setValue(0);
}

void Tjpg_form::Resize(const QSize& size) {
    Image1->hide();
    Image1->resize(size.expandedTo(QSize(1, 1)));
    Image1->show();
}

void Tjpg_form::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!mZoomed) Fit();
}

void Tjpg_form::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    if (!mZoomed) Fit();
}

void Tjpg_form::ZoomAt(const QPoint& at, bool enlarge) {
    mZoomed = true;
    const double f = enlarge ? 1.5 : 1 / 1.5;
    const QSize old = Image1->size();
    const QSize now(static_cast<int>(std::lround(old.width() * f)), static_cast<int>(std::lround(old.height() * f)));
    Resize(now);
    // The clicked point keeps its relative place in the view.
    auto keep = [&](QScrollBar* bar, int coordinate, int extent, int client) {
        if (!bar->isVisible() || extent <= 0) return;
        const double rel = enlarge ? coordinate * 1.5 / extent : coordinate / (extent * 1.5);
        bar->setValue(static_cast<int>(std::lround((extent - client) * rel)));
    };
    keep(ScrollBox->horizontalScrollBar(), at.x(), now.width(), ScrollBox->viewport()->width());
    keep(ScrollBox->verticalScrollBar(), at.y(), now.height(), ScrollBox->viewport()->height());
}

bool Tjpg_form::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Image1 && e->type() == QEvent::MouseButtonPress) {
        auto* m = static_cast<QMouseEvent*>(e);
        if (m->button() == Qt::LeftButton || m->button() == Qt::RightButton) {
            ZoomAt(m->position().toPoint(), m->button() == Qt::LeftButton);
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void Tjpg_form::ShowFile(const std::string& path) {
    if (Load(path)) exec();
}

void Tjpg_form::Print() {
    if (mPicture.isNull()) return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    QPainter p(&printer);
    const QRect page = p.viewport();
    QSize size = mPicture.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    p.setViewport(page.x(), page.y(), size.width(), size.height());
    p.setWindow(mPicture.rect());
    p.drawImage(0, 0, mPicture);
}

}  // namespace velt::gui
