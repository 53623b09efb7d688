// Draws the program's icon for the desktop's menus: a catalogue card under a
// magnifying glass on a blue tile. The icon is a list of shapes in a square of
// 256 units; each shape is painted with QPainter into the PNG files of the
// icon theme's sizes and written as the same path into the scalable SVG, so
// the two never differ.
//
//   velt-icon DIRECTORY PICTURES NAME
//
// writes DIRECTORY/hicolor/SxS/apps/NAME.png for S = 16 ... 256,
// DIRECTORY/hicolor/scalable/apps/NAME.svg, and PICTURES/ikona.png (256
// pixels, beside the program's other pictures) for its own windows.

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <vector>

namespace {

constexpr double kSide = 256;

struct Shape {
    QPainterPath path;
    QColor fill;            // invalid: not filled
    QColor fillBottom;      // valid: a vertical gradient from fill to this
    QColor stroke;          // invalid: not stroked
    double strokeWidth = 0;
};

QPainterPath RoundedRect(double x, double y, double w, double h, double r) {
    QPainterPath p;
    p.addRoundedRect(QRectF(x, y, w, h), r, r);
    return p;
}

QPainterPath Line(double x1, double y1, double x2, double y2) {
    QPainterPath p;
    p.moveTo(x1, y1);
    p.lineTo(x2, y2);
    return p;
}

QPainterPath Circle(double cx, double cy, double r) {
    QPainterPath p;
    p.addEllipse(QPointF(cx, cy), r, r);
    return p;
}

std::vector<Shape> IconShapes() {
    const QColor ink(0x3A, 0x3F, 0x46);
    const QColor cardEdge(0x8D, 0x6E, 0x3F);
    std::vector<Shape> s;
    // The tile.
    s.push_back({RoundedRect(16, 16, 224, 224, 44), QColor(0x4F, 0x7F, 0xC0), QColor(0x2B, 0x4F, 0x86), {}, 0});
    // The catalogue card: its heading rule in red, three lines of text and
    // the hole of the drawer's rod.
    s.push_back({RoundedRect(40, 58, 164, 116, 10), QColor(0xFF, 0xF6, 0xDC), {}, cardEdge, 5});
    s.push_back({Line(58, 88, 186, 88), {}, {}, QColor(0xB0, 0x40, 0x40), 7});
    s.push_back({Line(58, 112, 170, 112), {}, {}, ink, 8});
    s.push_back({Line(58, 134, 150, 134), {}, {}, ink, 8});
    s.push_back({Line(58, 156, 112, 156), {}, {}, ink, 8});
    s.push_back({Circle(122, 160, 7), cardEdge, {}, {}, 0});
    // The magnifying glass.
    s.push_back({Line(196, 196, 226, 226), {}, {}, QColor(0x24, 0x29, 0x30), 22});
    s.push_back({Circle(168, 168, 40), QColor(0xE3, 0xEE, 0xFA, 200), {}, QColor(0x24, 0x29, 0x30), 14});
    return s;
}

void Paint(QPainter& p, const std::vector<Shape>& shapes) {
    for (const Shape& shape : shapes) {
        if (shape.fill.isValid()) {
            if (shape.fillBottom.isValid()) {
                const QRectF box = shape.path.boundingRect();
                QLinearGradient g(box.topLeft(), box.bottomLeft());
                g.setColorAt(0, shape.fill);
                g.setColorAt(1, shape.fillBottom);
                p.fillPath(shape.path, g);
            } else {
                p.fillPath(shape.path, shape.fill);
            }
        }
        if (shape.stroke.isValid())
            p.strokePath(shape.path, QPen(shape.stroke, shape.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
}

bool DrawPng(const QString& file, int size, const std::vector<Shape>& shapes) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / kSide, size / kSide);
        Paint(p, shapes);
    }
    QDir().mkpath(QFileInfo(file).path());
    return image.save(file, "PNG");
}

QString Number(double v) { return QString::number(v, 'g', 6); }

QString Colour(const QColor& c) { return c.name(QColor::HexRgb); }

QString Opacity(const char* attribute, const QColor& c) {
    return c.alpha() == 255 ? QString() : QString(" %1=\"%2\"").arg(attribute, Number(c.alphaF()));
}

// The path in SVG's notation: Qt keeps ellipses and rounded corners as cubic curves.
// A subpath that ends where it began is closed, so its stroke has no seam.
QString PathData(const QPainterPath& path) {
    QString d;
    QPointF start;
    QPointF last;
    auto close = [&] {
        if (!d.isEmpty() && last == start) d += "Z";
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            close();
            start = last = QPointF(e.x, e.y);
            d += "M" + Number(e.x) + " " + Number(e.y);
        } else if (e.isLineTo()) {
            last = QPointF(e.x, e.y);
            d += "L" + Number(e.x) + " " + Number(e.y);
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += "C" + Number(e.x) + " " + Number(e.y) + " " + Number(c2.x) + " " + Number(c2.y) + " " +
                 Number(end.x) + " " + Number(end.y);
            last = QPointF(end.x, end.y);
            i += 2;
        }
    }
    close();
    return d;
}

QString Svg(const std::vector<Shape>& shapes) {
    QString defs;
    QString body;
    int gradients = 0;
    for (const Shape& shape : shapes) {
        QString fill = "none";
        if (shape.fill.isValid() && shape.fillBottom.isValid()) {
            // From the top of the shape's box to its bottom, as QPainter has it.
            const QString id = QString("g%1").arg(++gradients);
            defs += QString("    <linearGradient id=\"%1\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"
                            "      <stop offset=\"0\" stop-color=\"%2\"/>\n"
                            "      <stop offset=\"1\" stop-color=\"%3\"/>\n    </linearGradient>\n")
                        .arg(id, Colour(shape.fill), Colour(shape.fillBottom));
            fill = "url(#" + id + ")";
        } else if (shape.fill.isValid()) {
            fill = Colour(shape.fill);
        }
        body += "  <path d=\"" + PathData(shape.path) + "\" fill=\"" + fill + "\"";
        if (shape.fill.isValid()) body += Opacity("fill-opacity", shape.fill);
        if (shape.stroke.isValid())
            body += " stroke=\"" + Colour(shape.stroke) + "\" stroke-width=\"" + Number(shape.strokeWidth) +
                    "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"" + Opacity("stroke-opacity", shape.stroke);
        body += "/>\n";
    }
    QString svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n";
    if (!defs.isEmpty()) svg += "  <defs>\n" + defs + "  </defs>\n";
    return svg + body + "</svg>\n";
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: velt-icon DIRECTORY PICTURES NAME\n", stderr);
        return 1;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const QString pictures = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);
    const std::vector<Shape> shapes = IconShapes();
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString file = QString("%1/hicolor/%2x%2/apps/%3.png").arg(dir).arg(size).arg(name);
        if (!DrawPng(file, size, shapes)) {
            std::fprintf(stderr, "velt-icon: cannot write %s\n", file.toLocal8Bit().constData());
            ok = false;
        }
    }
    ok &= DrawPng(pictures + "/ikona.png", 256, shapes);
    const QString svgFile = dir + "/hicolor/scalable/apps/" + name + ".svg";
    QDir().mkpath(QFileInfo(svgFile).path());
    QFile svg(svgFile);
    if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) || svg.write(Svg(shapes).toUtf8()) < 0 || !svg.flush()) {
        std::fprintf(stderr, "velt-icon: cannot write %s\n", svgFile.toLocal8Bit().constData());
        ok = false;
    }
    return ok ? 0 : 1;
}
