// Draws the program's pictures and icons into PNG files at build time:
//   png133.png   the device board (283 x 168)
//   png134.png   the maker's logo (156 x 54)
//   icon128.png, icon128_small.png   the window icon (32 and 16 pixels)
//   icon129.png  the refresh arrow, icon130.png the write pencil,
//   icon134.png  the folder of Select (16 pixels each)
// Usage: draw_pictures OUTPUT_DIRECTORY
//        draw_pictures --desktop-icons OUTPUT_DIRECTORY
// The second form draws the window icon for the desktop's icon theme, at each
// size it looks for: OUTPUT_DIRECTORY/NxN/apps/zel5100util.png.
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

QImage Blank(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// --- the device board -------------------------------------------------------

void DrawChip(QPainter& p, const QRectF& body, const QString& label, int pinsPerSide) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 190, 180));
    const qreal pitch = body.width() / (pinsPerSide + 1);
    for (int i = 1; i <= pinsPerSide; ++i) {
        p.drawRect(QRectF(body.left() + i * pitch - 1, body.top() - 3, 2, 3));
        p.drawRect(QRectF(body.left() + i * pitch - 1, body.bottom(), 2, 3));
    }
    p.setBrush(QColor(35, 35, 40));
    p.setPen(QPen(QColor(70, 70, 75), 1));
    p.drawRect(body);
    p.setPen(QColor(200, 200, 200));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(7);
    p.setFont(font);
    p.drawText(body, Qt::AlignCenter, label);
}

void DrawBnc(QPainter& p, const QPointF& centre, const QString& label) {
    p.setPen(QPen(QColor(120, 120, 110), 1));
    p.setBrush(QColor(205, 205, 195));
    p.drawRect(QRectF(centre.x() - 11, centre.y() - 11, 22, 22));
    QRadialGradient metal(centre, 9);
    metal.setColorAt(0, QColor(250, 250, 245));
    metal.setColorAt(1, QColor(150, 150, 140));
    p.setBrush(metal);
    p.drawEllipse(centre, 8.5, 8.5);
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(centre, 3.5, 3.5);
    p.setBrush(QColor(230, 200, 90));
    p.drawEllipse(centre, 1.3, 1.3);
    p.setPen(QColor(240, 240, 240));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(7);
    p.setFont(font);
    p.drawText(QRectF(centre.x() - 16, centre.y() + 12, 32, 9), Qt::AlignCenter, label);
}

QImage DrawDeviceBoard() {
    const int w = 283, h = 168;
    QImage image = Blank(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // The printed circuit board.
    QLinearGradient board(0, 0, 0, h);
    board.setColorAt(0, QColor(30, 110, 60));
    board.setColorAt(1, QColor(20, 85, 45));
    p.setPen(QPen(QColor(15, 60, 30), 2));
    p.setBrush(board);
    p.drawRoundedRect(QRectF(2, 2, w - 4, h - 4), 6, 6);

    // Copper traces.
    p.setPen(QPen(QColor(200, 170, 80, 150), 1.2));
    for (int i = 0; i < 9; ++i) {
        const qreal y = 64 + i * 4;
        p.drawLine(QPointF(70, y), QPointF(118, y));
        p.drawLine(QPointF(118, y), QPointF(128, y + 10));
        p.drawLine(QPointF(128, y + 10), QPointF(150, y + 10));
    }
    for (int i = 0; i < 6; ++i) {
        const qreal x = 168 + i * 5;
        p.drawLine(QPointF(x, 96), QPointF(x, 118));
    }

    // Mounting holes.
    p.setPen(QPen(QColor(200, 200, 190), 2));
    p.setBrush(QColor(10, 40, 20));
    for (QPointF hole : {QPointF(10, 10), QPointF(w - 10, 10), QPointF(10, h - 10), QPointF(w - 10, h - 10)})
        p.drawEllipse(hole, 4, 4);

    // Chips: the FPGA, the processor, memory.
    DrawChip(p, QRectF(150, 52, 48, 40), QStringLiteral("FPGA"), 9);
    DrawChip(p, QRectF(214, 56, 38, 30), QStringLiteral("CPU"), 7);
    DrawChip(p, QRectF(36, 58, 30, 16), QStringLiteral("RAM"), 6);
    DrawChip(p, QRectF(36, 90, 30, 16), QStringLiteral("FLASH"), 6);
    DrawChip(p, QRectF(214, 102, 30, 14), QStringLiteral("PHY"), 5);

    // A crystal and a few small parts.
    p.setPen(QPen(QColor(170, 170, 170), 1));
    p.setBrush(QColor(215, 215, 215));
    // Below the subtitle, clear of its text, above the traces.
    p.drawRoundedRect(QRectF(112, 50, 14, 7), 3, 3);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 8; ++i) {
        p.setBrush(i % 2 ? QColor(120, 80, 40) : QColor(210, 200, 180));
        p.drawRect(QRectF(84 + i * 7, 110, 4, 2.5));
    }

    // Front connectors along the bottom edge: ASI in and out, SPI, Ethernet, RS-232.
    DrawBnc(p, QPointF(30, 140), QStringLiteral("ASI IN"));
    DrawBnc(p, QPointF(66, 140), QStringLiteral("ASI OUT"));

    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(70, 70, 80));
    p.drawRect(QRectF(92, 128, 56, 20));  // SPI (parallel) header
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 180, 70));
    for (int i = 0; i < 12; ++i) {
        p.drawRect(QRectF(95 + i * 4.4, 132, 2, 2));
        p.drawRect(QRectF(95 + i * 4.4, 141, 2, 2));
    }

    p.setPen(QPen(QColor(110, 110, 110), 1));
    p.setBrush(QColor(200, 200, 195));
    p.drawRect(QRectF(158, 124, 34, 28));  // RJ45
    p.setBrush(QColor(30, 30, 30));
    p.drawRect(QRectF(164, 132, 22, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(80, 230, 90));
    p.drawRect(QRectF(160, 126, 5, 3));
    p.setBrush(QColor(250, 190, 40));
    p.drawRect(QRectF(185, 126, 5, 3));

    QPainterPath sub;  // RS-232, a 9-pin D-sub
    sub.moveTo(204, 128);
    sub.lineTo(246, 128);
    sub.lineTo(242, 148);
    sub.lineTo(208, 148);
    sub.closeSubpath();
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(QColor(180, 180, 185));
    p.drawPath(sub);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(213 + i * 6, 134), 1.6, 1.6);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(216 + i * 6, 142), 1.6, 1.6);

    // Status LEDs.
    const QColor leds[] = {QColor(60, 240, 80), QColor(60, 240, 80), QColor(250, 180, 30),
                           QColor(240, 60, 50)};
    for (int i = 0; i < 4; ++i) {
        QRadialGradient glow(QPointF(258, 126 + i * 8), 4);
        glow.setColorAt(0, Qt::white);
        glow.setColorAt(0.4, leds[i]);
        glow.setColorAt(1, leds[i].darker(180));
        p.setBrush(glow);
        p.drawEllipse(QPointF(258, 126 + i * 8), 2.8, 2.8);
    }

    // Silk-screen print.
    p.setPen(QColor(235, 235, 225));
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(14);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRectF(20, 14, 160, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ZEL-5100"));
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(8);
    p.setFont(small);
    p.drawText(QRectF(20, 32, 200, 12), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("TS over IP gateway  ASI/SPI <> IP"));
    p.drawText(QRectF(224, 14, 50, 12), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("REV B"));
    p.end();
    return image;
}

// --- the logo -----------------------------------------------------------------

QImage DrawLogo() {
    QImage image = Blank(156, 54);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Mark: three arcs of a broadcast wave around a dot.
    const QPointF centre(22, 27);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 110, 20));
    p.drawEllipse(centre, 4.5, 4.5);
    for (int i = 0; i < 3; ++i) {
        const qreal r = 9 + i * 6;
        p.setPen(QPen(QColor(20, 70, 150), 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
        p.drawArc(box, -50 * 16, 100 * 16);
        p.drawArc(box, 130 * 16, 100 * 16);
    }

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(25);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    p.setFont(font);
    p.setPen(QColor(20, 70, 150));
    p.drawText(QRectF(50, 4, 106, 32), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Taviro"));
    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(9);
    p.setFont(sub);
    p.setPen(QColor(230, 110, 20));
    p.drawText(QRectF(51, 35, 105, 14), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("broadcast systems"));
    p.end();
    return image;
}

// --- icons --------------------------------------------------------------------

// The window icon: the device's front, blue, with a green status light.
QImage DrawWindowIcon(int size) {
    QImage image = Blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    QLinearGradient body(0, 6, 0, 26);
    body.setColorAt(0, QColor(60, 110, 200));
    body.setColorAt(1, QColor(20, 55, 130));
    p.setPen(QPen(QColor(10, 30, 80), 1.5));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(2, 8, 28, 16), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 240, 90));
    p.drawEllipse(QPointF(8, 16), 2.6, 2.6);
    p.setBrush(QColor(230, 235, 245));
    p.drawEllipse(QPointF(17, 16), 3.2, 3.2);
    p.drawEllipse(QPointF(25, 16), 3.2, 3.2);
    p.setBrush(QColor(20, 55, 130));
    p.drawEllipse(QPointF(17, 16), 1.2, 1.2);
    p.drawEllipse(QPointF(25, 16), 1.2, 1.2);
    p.end();
    return image;
}

// The refresh arrow: an orange three-quarter circle ending in an arrowhead.
QImage DrawRefreshIcon() {
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor orange(240, 120, 0);
    p.setPen(QPen(orange.darker(130), 3.4, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
    p.setPen(QPen(orange, 2.0, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
    // Arrowhead at the arc's open end (the top), pointing right.
    QPainterPath head;
    head.moveTo(7.0, 0.5);
    head.lineTo(12.5, 3.0);
    head.lineTo(7.0, 6.5);
    head.closeSubpath();
    p.setPen(QPen(orange.darker(130), 0.8));
    p.setBrush(orange);
    p.drawPath(head);
    p.end();
    return image;
}

// The write pencil: green, pointing to the lower left.
QImage DrawPencilIcon() {
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(8, 8);
    p.rotate(-45);
    // Body along the x axis, tip at the left.
    p.setPen(QPen(QColor(20, 90, 30), 0.8));
    p.setBrush(QColor(60, 180, 60));
    p.drawRect(QRectF(-3.0, -2.2, 9.0, 4.4));
    p.setBrush(QColor(240, 150, 160));
    p.drawRect(QRectF(6.0, -2.2, 2.0, 4.4));  // eraser
    QPainterPath tip;
    tip.moveTo(-3.0, -2.2);
    tip.lineTo(-7.5, 0);
    tip.lineTo(-3.0, 2.2);
    tip.closeSubpath();
    p.setBrush(QColor(235, 205, 150));
    p.drawPath(tip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    QPainterPath lead;
    lead.moveTo(-6.0, -0.7);
    lead.lineTo(-7.5, 0);
    lead.lineTo(-6.0, 0.7);
    lead.closeSubpath();
    p.drawPath(lead);
    p.end();
    return image;
}

// The folder of Select: yellow, its front flap open.
QImage DrawFolderIcon() {
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen edge(QColor(150, 110, 20), 0.9);
    p.setPen(edge);
    p.setBrush(QColor(230, 185, 60));
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6.0, 3.5);
    back.lineTo(7.5, 5.0);
    back.lineTo(13.0, 5.0);
    back.lineTo(13.0, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(255, 225, 110));
    QPainterPath front;
    front.moveTo(3.8, 7.0);
    front.lineTo(15.2, 7.0);
    front.lineTo(13.0, 13.5);
    front.lineTo(1.5, 13.5);
    front.closeSubpath();
    p.drawPath(front);
    p.end();
    return image;
}

bool SavePicture(const QImage& image, const QString& path) {
    if (!QDir().mkpath(QFileInfo(path).path()) || !image.save(path, "PNG")) {
        std::fprintf(stderr, "draw_pictures: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

int DrawDesktopIcons(const QDir& out) {
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString path = out.filePath(QStringLiteral("%1x%1/apps/zel5100util.png").arg(size));
        if (!SavePicture(DrawWindowIcon(size), path)) return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const bool desktopIcons = argc == 3 && std::strcmp(argv[1], "--desktop-icons") == 0;
    if (argc != 2 && !desktopIcons) {
        std::fprintf(stderr, "usage: draw_pictures [--desktop-icons] OUTPUT_DIRECTORY\n");
        return 2;
    }
    // Text needs a font engine, and a font engine needs a platform; this one
    // needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[argc - 1]));
    if (desktopIcons) return DrawDesktopIcons(out);

    const std::pair<const char*, std::function<QImage()>> pictures[] = {
        {"png133.png", DrawDeviceBoard},
        {"png134.png", DrawLogo},
        {"icon128.png", [] { return DrawWindowIcon(32); }},
        {"icon128_small.png", [] { return DrawWindowIcon(16); }},
        {"icon129.png", DrawRefreshIcon},
        {"icon130.png", DrawPencilIcon},
        {"icon134.png", DrawFolderIcon},
    };
    for (const auto& [name, draw] : pictures) {
        if (!SavePicture(draw(), out.filePath(QLatin1String(name)))) return 1;
    }
    return 0;
}
