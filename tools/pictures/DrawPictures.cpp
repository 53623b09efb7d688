// Draws the pictures the program itself needs into a directory: the
// browser's buttons, the local collection's check mark, the catalogue card
// icon of the reports, the placeholder of a picture that cannot be shown,
// the buttons the record kinds' forms name (the edition's details, the list
// of occupations, the subject dictionary), the editors' delete button, and
// the nodes of a link schema and a record's report button.
// Each is drawn at twice its size ("name@2x.png") so that it stays crisp on
// screens of high density; the program shows it at its own size.
//
//   velt-pictures DIRECTORY

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cstdio>
#include <functional>

namespace {

const QColor kInk(0x3A, 0x3F, 0x46);
const QColor kGreen(0x2E, 0x8B, 0x3A);

// A picture of w by h logical pixels, drawn at twice the size.
bool Draw(const QString& dir, const QString& name, int w, int h, const std::function<void(QPainter&)>& paint) {
    QImage image(w * 2, h * 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(2, 2);
        paint(p);
    }
    const QString file = dir + "/" + name + "@2x.png";
    if (!image.save(file, "PNG")) {
        std::fprintf(stderr, "velt-pictures: cannot write %s\n", file.toLocal8Bit().constData());
        return false;
    }
    return true;
}

// A triangle of the button glyphs, pointing up (dir -1) or down (+1), its tip at y.
void Triangle(QPainter& p, double tipY, int dir) {
    QPolygonF t;
    t << QPointF(8.5, tipY) << QPointF(13.5, tipY - dir * 5.0) << QPointF(3.5, tipY - dir * 5.0);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(t);
}

void Bar(QPainter& p, double y) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(3.5, y, 10, 1.8), 0.6, 0.6);
}

void Chevron(QPainter& p, double tipY, int dir) {
    QPen pen(kInk, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(4, tipY - dir * 4.0);
    path.lineTo(8.5, tipY);
    path.lineTo(13, tipY - dir * 4.0);
    p.drawPath(path);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: velt-pictures DIRECTORY\n", stderr);
        return 1;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    bool ok = true;
    // The browser's buttons, 17 by 17.
    ok &= Draw(dir, "totop", 17, 17, [](QPainter& p) { Bar(p, 3.5); Triangle(p, 7.5, -1); });
    ok &= Draw(dir, "toend", 17, 17, [](QPainter& p) { Bar(p, 11.7); Triangle(p, 9.5, 1); });
    ok &= Draw(dir, "up", 17, 17, [](QPainter& p) { Triangle(p, 5.5, -1); });
    ok &= Draw(dir, "dn", 17, 17, [](QPainter& p) { Triangle(p, 11.5, 1); });
    ok &= Draw(dir, "pgup", 17, 17, [](QPainter& p) { Chevron(p, 4, -1); Chevron(p, 9, -1); });
    ok &= Draw(dir, "pgdn", 17, 17, [](QPainter& p) { Chevron(p, 8, 1); Chevron(p, 13, 1); });
    ok &= Draw(dir, "toselect", 17, 17, [](QPainter& p) {
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(8.5, 8.5), 5.5, 5.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xC0, 0x30, 0x30));
        p.drawEllipse(QPointF(8.5, 8.5), 2.3, 2.3);
    });
    // The check mark of a record in the local collection, 16 by 16.
    ok &= Draw(dir, "kolekcja", 16, 16, [](QPainter& p) {
        p.setPen(QPen(kGreen.darker(130), 1));
        p.setBrush(QColor(0xE8, 0xF5, 0xE9));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2.5, 2.5);
        QPainterPath tick;
        tick.moveTo(4.2, 8.3);
        tick.lineTo(7, 11);
        tick.lineTo(12, 4.8);
        p.setPen(QPen(kGreen, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    });
    // The catalogue card of the reports, 22 by 22.
    ok &= Draw(dir, "karta", 22, 22, [](QPainter& p) {
        p.setPen(QPen(QColor(0x8D, 0x6E, 0x3F), 1));
        p.setBrush(QColor(0xFF, 0xF6, 0xDC));
        p.drawRoundedRect(QRectF(1.5, 4.5, 19, 13), 1.5, 1.5);
        p.setPen(QPen(QColor(0xB0, 0x40, 0x40), 1));
        p.drawLine(QPointF(3.5, 7.5), QPointF(18.5, 7.5));
        p.setPen(QPen(kInk, 0.9));
        for (double y : {10.5, 12.5, 14.5}) p.drawLine(QPointF(3.5, y), QPointF(y > 13 ? 12.5 : 17.5, y));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x8D, 0x6E, 0x3F));
        p.drawEllipse(QPointF(11, 16.2), 0.9, 0.9);
    });
    // The server's operation on an entry (a gear), 16 by 16.
    ok &= Draw(dir, "operacja", 16, 16, [](QPainter& p) {
        QPainterPath gear;
        for (int i = 0; i < 8; ++i) {
            QPainterPath tooth;
            tooth.addRoundedRect(QRectF(7, 1, 2, 4), 0.5, 0.5);
            QTransform t;
            t.translate(8, 8);
            t.rotate(45.0 * i);
            t.translate(-8, -8);
            gear.addPath(t.map(tooth));
        }
        gear.addEllipse(QPointF(8, 8), 5, 5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x4A, 0x6F, 0xA5));
        p.drawPath(gear.simplified());
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 8), 2, 2);
    });
    // The forms' buttons, 16 by 16. The edition's details: a book with its
    // spine and a page marker.
    ok &= Draw(dir, "wydanie", 16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(0x2F, 0x4E, 0x7A), 1));
        p.setBrush(QColor(0x5B, 0x82, 0xB8));
        p.drawRoundedRect(QRectF(3.5, 1.5, 10, 13), 1.2, 1.2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2F, 0x4E, 0x7A));
        p.drawRect(QRectF(3.5, 1.5, 2, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 12, 6.5, 1.6));
        p.setPen(QPen(Qt::white, 1.1, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7.5, 5), QPointF(11.5, 5));
        p.drawLine(QPointF(7.5, 7.5), QPointF(11.5, 7.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xC0, 0x30, 0x30));
        QPolygonF marker;
        marker << QPointF(10, 1) << QPointF(12, 1) << QPointF(12, 5) << QPointF(11, 4) << QPointF(10, 5);
        p.drawPolygon(marker);
    });
    // The occupations' menu: a person and the arrow of a list.
    ok &= Draw(dir, "zawody", 16, 16, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(6.5, 4.5), 2.6, 2.6);
        QPainterPath shoulders;
        shoulders.moveTo(1.5, 14);
        shoulders.cubicTo(1.5, 8.5, 11.5, 8.5, 11.5, 14);
        shoulders.closeSubpath();
        p.drawPath(shoulders);
        QPolygonF arrow;
        arrow << QPointF(10.5, 6.5) << QPointF(15.5, 6.5) << QPointF(13, 9.5);
        p.setBrush(kGreen);
        p.drawPolygon(arrow);
    });
    // The subject dictionary: an open book under a magnifying glass.
    ok &= Draw(dir, "slownik", 16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(0x8D, 0x6E, 0x3F), 1));
        p.setBrush(QColor(0xFF, 0xF6, 0xDC));
        QPainterPath book;
        book.moveTo(1, 4);
        book.lineTo(7.5, 5);
        book.lineTo(14, 4);
        book.lineTo(14, 13);
        book.lineTo(7.5, 14);
        book.lineTo(1, 13);
        book.closeSubpath();
        p.drawPath(book);
        p.drawLine(QPointF(7.5, 5), QPointF(7.5, 14));
        p.setPen(QPen(kInk, 0.8));
        for (double y : {7.5, 9.5}) p.drawLine(QPointF(2.5, y), QPointF(6, y + 0.3));
        p.setPen(QPen(QColor(0x4A, 0x6F, 0xA5), 1.5));
        p.setBrush(QColor(0xE3, 0xEE, 0xFA, 220));
        p.drawEllipse(QPointF(10.5, 8.5), 3, 3);
        p.setPen(QPen(QColor(0x4A, 0x6F, 0xA5), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12.7, 10.7), QPointF(15, 13));
    });
    // The editors' delete button: a red cross.
    ok &= Draw(dir, "usun", 16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(0xC6, 0x28, 0x28), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    });
    // The authority file of a criterion: a drawer of index cards.
    ok &= Draw(dir, "khw", 16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(0x8D, 0x6E, 0x3F), 1));
        p.setBrush(QColor(0xFF, 0xF6, 0xDC));
        for (int i = 0; i < 3; ++i) p.drawRect(QRectF(3.5 + i, 1.5 + 2 * i, 9, 6));
        p.setBrush(QColor(0xB0, 0x83, 0x4A));
        p.drawRect(QRectF(1.5, 8.5, 13, 6));
        p.setPen(QPen(QColor(0xFF, 0xF6, 0xDC), 1.2));
        p.drawLine(QPointF(6, 11.5), QPointF(10, 11.5));
    });
    // A criterion's choice: three dots on a page.
    ok &= Draw(dir, "szczegol", 16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(0x60, 0x7D, 0x8B), 1));
        p.setBrush(QColor(0xFA, 0xFA, 0xFA));
        p.drawRoundedRect(QRectF(1.5, 3.5, 13, 9), 1.5, 1.5);
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        for (double x : {5.0, 8.0, 11.0}) p.drawEllipse(QPointF(x, 8), 1.1, 1.1);
    });
    // The nodes of a link schema, 16 by 16: a record's card, and the same
    // card with the local collection's tick when the record is there.
    const auto card = [](QPainter& p) {
        p.setPen(QPen(QColor(0x6B, 0x7A, 0x8F), 1));
        p.setBrush(Qt::white);
        QPainterPath page;
        page.moveTo(3.5, 1.5);
        page.lineTo(10, 1.5);
        page.lineTo(12.5, 4);
        page.lineTo(12.5, 14.5);
        page.lineTo(3.5, 14.5);
        page.closeSubpath();
        p.drawPath(page);
        p.setPen(QPen(QColor(0xA8, 0xB4, 0xC4), 0.9));
        for (double y : {6.0, 8.5, 11.0}) p.drawLine(QPointF(5.5, y), QPointF(10.5, y));
    };
    ok &= Draw(dir, "pow-pust", 16, 16, card);
    ok &= Draw(dir, "pow-kole", 16, 16, [&card](QPainter& p) {
        card(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xE8, 0xF5, 0xE9));
        p.drawEllipse(QPointF(11.5, 11.5), 4.2, 4.2);
        QPainterPath tick;
        tick.moveTo(9.3, 11.6);
        tick.lineTo(11, 13.3);
        tick.lineTo(14, 9.6);
        p.setPen(QPen(kGreen, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    });
    // A table report of a record's parts, 16 by 16: a sheet with rows.
    ok &= Draw(dir, "zestawienie", 16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(0x2F, 0x4E, 0x7A), 1));
        p.setBrush(QColor(0xEE, 0xF3, 0xFA));
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setBrush(QColor(0x5B, 0x82, 0xB8));
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(2, 3, 12, 2.5));
        p.setPen(QPen(QColor(0x5B, 0x82, 0xB8), 0.8));
        for (double y : {7.5, 10.0}) p.drawLine(QPointF(2, y), QPointF(14, y));
        p.drawLine(QPointF(6.5, 5.5), QPointF(6.5, 13));
    });
    // A picture that cannot be shown, 32 by 24.
    ok &= Draw(dir, "brak", 32, 24, [](QPainter& p) {
        p.setPen(QPen(QColor(0x9E, 0x9E, 0x9E), 1, Qt::DashLine));
        p.setBrush(QColor(0xF2, 0xF2, 0xF2));
        p.drawRect(QRectF(0.5, 0.5, 31, 23));
        p.setPen(QPen(QColor(0xC6, 0x28, 0x28), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 8), QPointF(20, 16));
        p.drawLine(QPointF(20, 8), QPointF(12, 16));
    });
    return ok ? 0 : 1;
}
