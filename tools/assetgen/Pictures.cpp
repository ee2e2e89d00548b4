#include "Pictures.h"

#include "Dsp.h"
#include "Output.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <gif_lib.h>
#include <stdexcept>
#include <unistd.h>

namespace assetgen {

namespace {

constexpr double W = kPictureWidth;
constexpr double H = kPictureHeight;

// ---- shared scenery -------------------------------------------------------------

void fillVertical(QPainter& p, double top, double bottom, std::initializer_list<QColor> colours) {
    QLinearGradient gradient(0, top, 0, bottom);
    const double last = static_cast<double>(colours.size() - 1);
    double i = 0;
    for (const QColor& c : colours) {
        gradient.setColorAt(i++ / last, c);
    }
    p.fillRect(QRectF(0, top, W, bottom - top), gradient);
}

void glowingSun(QPainter& p, QPointF centre, double radius, QColor core, QColor glow) {
    QRadialGradient halo(centre, radius * 4);
    glow.setAlpha(150);
    halo.setColorAt(0, glow);
    glow.setAlpha(0);
    halo.setColorAt(1, glow);
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(centre, radius * 4, radius * 4);
    p.setBrush(core);
    p.drawEllipse(centre, radius, radius);
}

// A wavy ridge filled down to the bottom edge.
void ridge(QPainter& p, double baseY, double amplitude, double wavelength, double phase,
           QColor colour) {
    QPainterPath path(QPointF(0, H));
    for (double x = 0; x <= W; x += 4) {
        path.lineTo(x, baseY - amplitude * std::sin(kTwoPi * x / wavelength + phase) -
                           0.4 * amplitude * std::sin(kTwoPi * x / (wavelength * 0.37) + phase));
    }
    path.lineTo(W, H);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

void cloud(QPainter& p, QPointF at, double size, QColor colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(at, size, size * 0.55);
    p.drawEllipse(at + QPointF(size * 0.8, size * 0.1), size * 0.75, size * 0.45);
    p.drawEllipse(at + QPointF(-size * 0.8, size * 0.15), size * 0.65, size * 0.4);
    p.drawEllipse(at + QPointF(size * 0.2, -size * 0.3), size * 0.6, size * 0.45);
}

void conifer(QPainter& p, QPointF base, double height, QColor colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (int tier = 0; tier < 3; ++tier) {
        const double bottom = base.y() - tier * height * 0.25;
        const double halfWidth = height * (0.28 - tier * 0.06);
        const QPointF triangle[3] = {{base.x() - halfWidth, bottom},
                                     {base.x() + halfWidth, bottom},
                                     {base.x(), bottom - height * 0.5}};
        p.drawPolygon(triangle, 3);
    }
}

void horizontalRipples(QPainter& p, double top, double bottom, QColor colour, Rng& rng) {
    p.setPen(QPen(colour, 1));
    for (int i = 0; i < 60; ++i) {
        const double y = top + (bottom - top) * std::pow(rng.uniform(), 0.7);
        const double x = rng.range(-20, W);
        const double length = 8 + 40 * (y - top) / (bottom - top) * rng.uniform();
        p.drawLine(QPointF(x, y), QPointF(x + length, y));
    }
}

// Sunlight on water: short bright streaks under the sun, spreading with distance.
void sunPath(QPainter& p, double x, double top, double bottom, QColor colour, Rng& rng) {
    for (int i = 0; i < 70; ++i) {
        const double t = rng.uniform();
        const double y = top + (bottom - top) * t;
        const double spread = 6 + 50 * t;
        const double cx = x + rng.bipolar() * spread;
        colour.setAlpha(static_cast<int>(220 - 120 * t));
        p.setPen(QPen(colour, 1.5 + 2 * t));
        p.drawLine(QPointF(cx - 4 - 10 * t, y), QPointF(cx + 4 + 10 * t, y));
    }
}

QPainterPath leafShape(double length) {
    QPainterPath leaf(QPointF(-length / 2, 0));
    leaf.quadTo(0, -length * 0.45, length / 2, 0);
    leaf.quadTo(0, length * 0.45, -length / 2, 0);
    return leaf;
}

void scatterLeaves(QPainter& p, QRectF area, int count, double size, Rng& rng) {
    static const std::array<QColor, 6> kAutumn{QColor(190, 40, 20),  QColor(220, 90, 20),
                                               QColor(235, 150, 30), QColor(240, 200, 60),
                                               QColor(150, 60, 25),  QColor(200, 120, 40)};
    for (int i = 0; i < count; ++i) {
        p.save();
        p.translate(area.left() + area.width() * rng.uniform(),
                    area.top() + area.height() * rng.uniform());
        p.rotate(360 * rng.uniform());
        p.setPen(QPen(QColor(90, 40, 10, 160), 0.8));
        p.setBrush(kAutumn[static_cast<std::size_t>(rng.below(kAutumn.size()))]);
        const double length = size * (0.6 + 0.8 * rng.uniform());
        p.drawPath(leafShape(length));
        p.drawLine(QPointF(-length / 2, 0), QPointF(length / 2, 0));
        p.restore();
    }
}

QPainterPath boltPath(QPointF from, double toY, Rng& rng) {
    QPainterPath bolt(from);
    QPointF at = from;
    while (at.y() < toY) {
        at += QPointF(rng.range(-14, 14), rng.range(8, 20));
        bolt.lineTo(at);
    }
    return bolt;
}

void drawBolt(QPainter& p, const QPainterPath& bolt, QColor glow, QColor core) {
    p.setBrush(Qt::NoBrush);
    glow.setAlpha(70);
    p.setPen(QPen(glow, 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(bolt);
    glow.setAlpha(140);
    p.setPen(QPen(glow, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(bolt);
    p.setPen(QPen(core, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(bolt);
}

void sheep(QPainter& p, QPointF at, double size, bool facingLeft, Rng& rng) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 35, 30));
    for (const double dx : {-0.45, -0.2, 0.25, 0.5}) {
        p.drawRect(QRectF(at.x() + dx * size, at.y(), size * 0.08, size * 0.45));
    }
    p.setBrush(QColor(245, 243, 235));
    for (int i = 0; i < 9; ++i) {
        p.drawEllipse(at + QPointF(rng.range(-0.45, 0.45) * size, rng.range(-0.2, 0.1) * size),
                      size * 0.28, size * 0.24);
    }
    p.setBrush(QColor(30, 28, 25));
    const double side = facingLeft ? -1 : 1;
    p.drawEllipse(at + QPointF(side * 0.75 * size, -0.12 * size), size * 0.17, size * 0.12);
}

// ---- the scenes -----------------------------------------------------------------

void englishFence(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("english fence"));
    fillVertical(p, 0, 130, {QColor(90, 150, 225), QColor(200, 225, 245)});
    cloud(p, {70, 40}, 22, QColor(255, 255, 255, 220));
    cloud(p, {230, 60}, 16, QColor(255, 255, 255, 200));
    ridge(p, 120, 8, 260, 0.5, QColor(110, 160, 80));
    ridge(p, 140, 6, 180, 2.0, QColor(80, 145, 55));
    fillVertical(p, 150, H, {QColor(90, 160, 60), QColor(60, 125, 40)});
    ridge(p, 150, 3, 120, 1, QColor(85, 155, 58));
    // Daisies in the grass.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 90; ++i) {
        const double y = rng.range(160, H);
        p.setBrush(i % 4 == 0 ? QColor(250, 220, 60) : QColor(250, 250, 245));
        p.drawEllipse(QPointF(rng.range(0, W), y), 0.6 + y / 160, 0.6 + y / 160);
    }
    // Post and rail fence receding to the right.
    const QColor wood(120, 85, 50);
    QPointF previous;
    for (int i = 0; i < 9; ++i) {
        const double t = i / 8.0;
        const double scale = 1.0 - 0.8 * t;
        const QPointF foot(20 + 280 * std::pow(t, 0.8), 228 - 80 * t);
        const double height = 70 * scale;
        p.setPen(Qt::NoPen);
        p.setBrush(wood.darker(100 + i * 5));
        p.drawRect(QRectF(foot.x() - 4 * scale, foot.y() - height, 8 * scale, height));
        if (i > 0) {
            p.setPen(QPen(wood, 4 * scale + 1));
            for (const double level : {0.8, 0.45}) {
                const double prevHeight = 70 * (1.0 - 0.8 * (i - 1) / 8.0);
                p.drawLine(previous - QPointF(0, prevHeight * level),
                           foot - QPointF(0, height * level));
            }
        }
        previous = foot;
    }
}

void sunsetBoat(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("sunsetboat"));
    fillVertical(
        p, 0, 150,
        {QColor(60, 30, 90), QColor(190, 70, 90), QColor(250, 150, 60), QColor(255, 210, 110)});
    glowingSun(p, {190, 150}, 26, QColor(255, 235, 170), QColor(255, 180, 80));
    fillVertical(p, 150, H, {QColor(110, 60, 80), QColor(30, 25, 60)});
    sunPath(p, 190, 152, H, QColor(255, 200, 110), rng);
    // The boat's silhouette.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 12, 25));
    QPainterPath hull(QPointF(60, 172));
    hull.lineTo(140, 172);
    hull.quadTo(132, 186, 118, 188);
    hull.lineTo(78, 188);
    hull.quadTo(66, 184, 60, 172);
    p.drawPath(hull);
    p.setPen(QPen(QColor(20, 12, 25), 2));
    p.drawLine(QPointF(100, 172), QPointF(100, 95));
    p.setPen(Qt::NoPen);
    const QPointF sail[3] = {{102, 98}, {102, 168}, {138, 168}};
    p.drawPolygon(sail, 3);
    const QPointF jib[3] = {{98, 102}, {98, 166}, {70, 166}};
    p.drawPolygon(jib, 3);
}

void colouredLeaves(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("colouredleaves"));
    fillVertical(p, 0, H, {QColor(70, 50, 25), QColor(40, 30, 15)});
    scatterLeaves(p, QRectF(-20, -20, W + 40, H + 40), 260, 34, rng);
}

void oregonLake(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("oregonlake"));
    const double shore = 140;
    fillVertical(p, 0, shore, {QColor(70, 130, 210), QColor(190, 215, 240)});
    // A snow-capped peak, or its reflection in the lake.
    const auto mountain = [&](double peakX, double peakY, double halfWidth, QColor rock,
                              bool mirror) {
        // The reflection is flattened a little, as seen across the water.
        const auto y = [&](double v) { return mirror ? shore + 0.55 * (shore - v) : v; };
        p.setPen(Qt::NoPen);
        p.setBrush(rock);
        const QPointF body[3] = {
            {peakX - halfWidth, y(shore)}, {peakX, y(peakY)}, {peakX + halfWidth, y(shore)}};
        p.drawPolygon(body, 3);
        const double snow = (shore - peakY) * 0.3;
        const double snowHalf = halfWidth * snow / (shore - peakY);
        p.setBrush(QColor(235, 240, 250, mirror ? 90 : 255));
        const QPointF cap[4] = {{peakX - snowHalf, y(peakY + snow)},
                                {peakX, y(peakY)},
                                {peakX + snowHalf, y(peakY + snow)},
                                {peakX, y(peakY + snow * 0.7)}};
        p.drawPolygon(cap, 4);
    };
    mountain(90, 40, 110, QColor(95, 100, 125), false);
    mountain(220, 25, 130, QColor(80, 85, 110), false);
    fillVertical(p, shore, H, {QColor(60, 100, 150), QColor(25, 55, 90)});
    mountain(90, 40, 110, QColor(80, 85, 110, 190), true);
    mountain(220, 25, 130, QColor(70, 75, 100, 190), true);
    for (double x = -5; x < W + 10; x += rng.range(7, 13)) {
        conifer(p, {x, shore + 2}, rng.range(22, 40), QColor(25, 60, 35));
    }
    horizontalRipples(p, shore + 8, H, QColor(180, 210, 240, 90), rng);
}

void riverPool(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("riverpool"));
    fillVertical(p, 0, H, {QColor(70, 120, 50), QColor(50, 95, 35)});
    // Foliage texture on the banks.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 160; ++i) {
        p.setBrush(QColor(40 + rng.below(50), 90 + rng.below(60), 30 + rng.below(30), 180));
        p.drawEllipse(QPointF(rng.range(0, W), rng.range(0, H)), rng.range(4, 10), rng.range(3, 7));
    }
    QPainterPath river(QPointF(150, 0));
    river.cubicTo(120, 40, 200, 70, 170, 110);
    river.cubicTo(60, 130, 40, 230, 160, 232);
    river.cubicTo(280, 234, 290, 130, 190, 110);
    river.cubicTo(225, 70, 150, 40, 170, 0);
    river.closeSubpath();
    QLinearGradient water(0, 0, 0, H);
    water.setColorAt(0, QColor(150, 190, 200));
    water.setColorAt(1, QColor(40, 90, 120));
    p.setBrush(water);
    p.setPen(QPen(QColor(110, 95, 70), 3));
    p.drawPath(river);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 14; ++i) {
        const double angle = kTwoPi * i / 14 + rng.range(0, 0.3);
        const QPointF at(160 + 118 * std::cos(angle), 172 + 62 * std::sin(angle));
        if (at.y() > 112) {
            p.setBrush(QColor(120 + rng.below(40), 115 + rng.below(40), 105 + rng.below(30)));
            p.drawEllipse(at, rng.range(8, 15), rng.range(5, 9));
        }
    }
    p.setPen(QPen(QColor(220, 235, 240, 120), 1));
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 3; ++i) {
        p.drawEllipse(QPointF(150, 180), 14.0 * i, 5.0 * i);
    }
}

void puddle(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("puddle"));
    fillVertical(p, 0, H, {QColor(95, 90, 85), QColor(70, 66, 62)});
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 1500; ++i) {
        const int grey = 50 + rng.below(70);
        p.setBrush(QColor(grey, grey - 4, grey - 8));
        p.drawEllipse(QPointF(rng.range(0, W), rng.range(0, H)), 1.2, 1.2);
    }
    QPainterPath pool;
    pool.moveTo(40, 140);
    pool.cubicTo(40, 90, 150, 80, 220, 95);
    pool.cubicTo(300, 110, 300, 180, 240, 200);
    pool.cubicTo(170, 225, 60, 200, 40, 140);
    QLinearGradient sky(0, 85, 0, 215);
    sky.setColorAt(0, QColor(215, 225, 235));
    sky.setColorAt(1, QColor(120, 150, 185));
    p.setBrush(sky);
    p.setPen(QPen(QColor(55, 50, 45), 2));
    p.drawPath(pool);
    // Reflected branches and ripples from a drop.
    p.setClipPath(pool);
    p.setPen(QPen(QColor(60, 60, 70, 160), 3));
    p.drawLine(QPointF(260, 80), QPointF(200, 150));
    p.drawLine(QPointF(225, 120), QPointF(250, 160));
    p.setPen(QPen(QColor(250, 252, 255, 170), 1.2));
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 5; ++i) {
        p.drawEllipse(QPointF(130, 150), 9.0 * i, 3.5 * i);
    }
    p.setClipping(false);
    p.save();
    p.translate(80, 205);
    p.rotate(-25);
    p.setPen(QPen(QColor(90, 40, 10), 0.8));
    p.setBrush(QColor(200, 110, 30));
    p.drawPath(leafShape(28));
    p.restore();
}

void lightning(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("lightning"));
    fillVertical(p, 0, H, {QColor(25, 20, 55), QColor(70, 50, 110), QColor(40, 35, 70)});
    for (int i = 0; i < 14; ++i) {
        const int shade = 35 + rng.below(30);
        cloud(p, {rng.range(0, W), rng.range(5, 45)}, rng.range(25, 45),
              QColor(shade, shade, shade + 15, 230));
    }
    const QPainterPath bolt = boltPath({170, 45}, 200, rng);
    drawBolt(p, bolt, QColor(170, 150, 255), QColor(255, 255, 255));
    const QPainterPath branch = boltPath(bolt.pointAtPercent(0.35), 150, rng);
    drawBolt(p, branch, QColor(170, 150, 255), QColor(235, 235, 255));
    ridge(p, 205, 10, 200, 1.2, QColor(15, 12, 25));
}

void sunsetWood(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("sunsetwood"));
    fillVertical(
        p, 0, H,
        {QColor(120, 40, 40), QColor(230, 110, 40), QColor(250, 200, 90), QColor(120, 60, 30)});
    glowingSun(p, {175, 165}, 20, QColor(255, 240, 180), QColor(255, 190, 90));
    const QColor dark(30, 15, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(dark);
    for (double x = 5; x < W; x += rng.range(25, 45)) {
        const double width = rng.range(5, 14);
        p.drawRect(QRectF(x, 30, width, H));
        p.setPen(QPen(dark, width / 3));
        p.drawLine(QPointF(x + width / 2, 90 + rng.range(0, 40)),
                   QPointF(x + width / 2 + rng.range(-30, 30), 50));
        p.setPen(Qt::NoPen);
    }
    for (int i = 0; i < 40; ++i) {
        p.drawEllipse(QPointF(rng.range(-10, W + 10), rng.range(-10, 45)), rng.range(20, 40),
                      rng.range(12, 22));
    }
    fillVertical(p, 205, H, {QColor(45, 22, 12), QColor(20, 10, 5)});
}

void countryLane(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("countrylane"));
    const double horizon = 110;
    fillVertical(p, 0, horizon, {QColor(110, 165, 230), QColor(215, 230, 245)});
    cloud(p, {250, 35}, 20, QColor(255, 255, 255, 230));
    cloud(p, {60, 55}, 14, QColor(255, 255, 255, 210));
    fillVertical(p, horizon, H, {QColor(150, 180, 90), QColor(100, 150, 60)});
    // Field stripes converging on the vanishing point.
    const QPointF vanish(165, horizon);
    p.setPen(QPen(QColor(125, 160, 70), 2));
    for (double x = -400; x <= W + 400; x += 40) {
        p.drawLine(vanish, QPointF(x, H));
    }
    const QPointF lane[4] = {{150, horizon}, {180, horizon}, {260, H}, {90, H}};
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 165, 120));
    p.drawPolygon(lane, 4);
    p.setBrush(QColor(165, 140, 100));
    const QPointF verge[4] = {{164, horizon}, {167, horizon}, {182, H}, {168, H}};
    p.drawPolygon(verge, 4);
    // Hedgerows on both sides.
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < 40; ++i) {
            const double t = i / 39.0;
            const double x = side == 0 ? 145 - 150 * t : 185 + 150 * t;
            const double y = horizon + 110 * t;
            const double r = 3 + 28 * t;
            p.setBrush(QColor(40 + rng.below(30), 90 + rng.below(40), 35, 240));
            p.drawEllipse(QPointF(x, y - r * 0.6), r, r * 0.8);
        }
    }
    p.setBrush(QColor(80, 55, 35));
    p.drawRect(QRectF(262, 40, 8, 70));
    p.setBrush(QColor(50, 110, 45));
    p.drawEllipse(QPointF(266, 40), 30, 26);
}

void sunset(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(
        p, 0, H,
        {QColor(25, 30, 80), QColor(150, 50, 120), QColor(245, 110, 60), QColor(255, 220, 120)});
    glowingSun(p, {110, 178}, 38, QColor(255, 245, 200), QColor(255, 160, 70));
    ridge(p, 190, 12, 300, 0.3, QColor(70, 25, 50));
    ridge(p, 210, 9, 170, 2.1, QColor(35, 12, 30));
    p.setPen(QPen(QColor(40, 20, 40), 1.6));
    p.setBrush(Qt::NoBrush);
    for (const QPointF& bird : {QPointF(200, 70), QPointF(222, 82), QPointF(240, 64)}) {
        QPainterPath v(bird - QPointF(7, 3));
        v.quadTo(bird - QPointF(3, 4), bird);
        v.quadTo(bird + QPointF(3, -4), bird + QPointF(7, -3));
        p.drawPath(v);
    }
}

void raindrops(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("raindrops"));
    fillVertical(p, 0, H, {QColor(60, 90, 110), QColor(40, 70, 70)});
    // Out-of-focus background.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 25; ++i) {
        const QPointF at(rng.range(0, W), rng.range(0, H));
        const double r = rng.range(25, 60);
        QRadialGradient blob(at, r);
        blob.setColorAt(0, QColor(80 + rng.below(60), 130 + rng.below(60), 110, 120));
        blob.setColorAt(1, QColor(60, 100, 100, 0));
        p.setBrush(blob);
        p.drawEllipse(at, r, r);
    }
    for (int i = 0; i < 70; ++i) {
        const QPointF at(rng.range(0, W), rng.range(0, H));
        const double r = rng.range(3, 13);
        QRadialGradient drop(at + QPointF(r * 0.25, r * 0.3), r * 1.1);
        drop.setColorAt(0, QColor(170, 210, 220, 220));
        drop.setColorAt(0.8, QColor(60, 100, 115, 220));
        drop.setColorAt(1, QColor(25, 45, 55, 230));
        p.setBrush(drop);
        p.drawEllipse(at, r, r * 1.05);
        p.setBrush(QColor(255, 255, 255, 220));
        p.drawEllipse(at - QPointF(r * 0.35, r * 0.4), r * 0.22, r * 0.16);
    }
}

void englishSheep(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("englishsheep"));
    fillVertical(p, 0, 120, {QColor(120, 170, 225), QColor(225, 235, 245)});
    cloud(p, {200, 30}, 18, QColor(255, 255, 255, 220));
    ridge(p, 100, 12, 240, 1.0, QColor(120, 165, 90));
    ridge(p, 130, 10, 200, 2.5, QColor(95, 150, 65));
    // A dry-stone wall across the field.
    p.setPen(QPen(QColor(130, 125, 115), 5));
    p.drawLine(QPointF(0, 158), QPointF(W, 142));
    fillVertical(p, 160, H, {QColor(85, 150, 55), QColor(65, 130, 40)});
    ridge(p, 162, 4, 150, 0.7, QColor(80, 145, 52));
    const std::array<QPointF, 6> flock{QPointF(60, 185),  QPointF(130, 200), QPointF(230, 190),
                                       QPointF(280, 215), QPointF(175, 170), QPointF(95, 220)};
    for (std::size_t i = 0; i < flock.size(); ++i) {
        sheep(p, flock[i], 14 + flock[i].y() / 14, i % 2 == 0, rng);
    }
}

void autumnStream(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("autumnstream"));
    fillVertical(p, 0, H, {QColor(200, 140, 60), QColor(110, 70, 30)});
    p.setPen(Qt::NoPen);
    for (double x = 10; x < W; x += rng.range(30, 55)) {
        p.setBrush(QColor(70, 45, 25));
        p.drawRect(QRectF(x, 20, rng.range(5, 10), 120));
    }
    for (int i = 0; i < 45; ++i) {
        p.setBrush(QColor(190 + rng.below(60), 80 + rng.below(100), 20 + rng.below(30), 200));
        p.drawEllipse(QPointF(rng.range(-10, W + 10), rng.range(-10, 90)), rng.range(20, 40),
                      rng.range(14, 28));
    }
    fillVertical(p, 130, H, {QColor(120, 85, 45), QColor(80, 55, 30)});
    QPainterPath stream(QPointF(140, 130));
    stream.cubicTo(110, 160, 230, 190, 150, H);
    stream.lineTo(300, H);
    stream.cubicTo(330, 190, 170, 160, 175, 130);
    stream.closeSubpath();
    QLinearGradient water(0, 130, 0, H);
    water.setColorAt(0, QColor(140, 170, 180));
    water.setColorAt(1, QColor(50, 90, 110));
    p.setBrush(water);
    p.drawPath(stream);
    p.setClipPath(stream);
    horizontalRipples(p, 132, H, QColor(220, 235, 240, 110), rng);
    scatterLeaves(p, QRectF(100, 140, 220, 100), 25, 12, rng);
    p.setClipping(false);
    scatterLeaves(p, QRectF(0, 150, 110, 90), 30, 14, rng);
}

void thunderStorm(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("thunder"));
    fillVertical(p, 0, H, {QColor(50, 55, 65), QColor(95, 100, 110), QColor(60, 65, 70)});
    p.setPen(QPen(QColor(170, 180, 195, 120), 1));
    for (int i = 0; i < 220; ++i) {
        const QPointF at(rng.range(-20, W), rng.range(40, H));
        p.drawLine(at, at + QPointF(-5, 14));
    }
    const QPainterPath bolt = boltPath({240, 60}, 215, rng);
    drawBolt(p, bolt, QColor(255, 230, 120), QColor(255, 255, 220));
    drawBolt(p, boltPath(bolt.pointAtPercent(0.5), 190, rng), QColor(255, 230, 120),
             QColor(255, 250, 210));
    for (int i = 0; i < 22; ++i) {
        const int shade = 30 + rng.below(50);
        cloud(p, {rng.range(-20, W + 20), rng.range(0, 70)}, rng.range(25, 50),
              QColor(shade, shade + 3, shade + 10, 240));
    }
    ridge(p, 220, 6, 160, 0.4, QColor(30, 40, 30));
}

void campFire(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("firepic"));
    p.fillRect(image.rect(), QColor(10, 6, 5));
    const QPointF base(160, 195);
    QRadialGradient glow(base - QPointF(0, 40), 170);
    glow.setColorAt(0, QColor(150, 60, 15));
    glow.setColorAt(1, QColor(10, 6, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRect(image.rect());
    // Crossed logs.
    for (const double angle : {-18.0, 18.0, 0.0}) {
        p.save();
        p.translate(base + QPointF(0, 12));
        p.rotate(angle);
        p.setBrush(QColor(80, 45, 20));
        p.drawRoundedRect(QRectF(-70, -9, 140, 18), 8, 8);
        p.setBrush(QColor(150, 100, 55));
        p.drawEllipse(QPointF(70, 0), 6, 9);
        p.restore();
    }
    // Tongues of flame, outer to inner.
    const std::array<QColor, 4> colours{QColor(200, 40, 10), QColor(240, 110, 20),
                                        QColor(255, 190, 50), QColor(255, 245, 180)};
    for (std::size_t layer = 0; layer < colours.size(); ++layer) {
        const double scale = 1.0 - 0.22 * static_cast<double>(layer);
        p.setBrush(colours[layer]);
        for (int i = 0; i < 5; ++i) {
            const double x = base.x() + (i - 2) * 20 * scale + rng.range(-5, 5);
            const double height = (130 - std::abs(i - 2) * 30) * scale * rng.range(0.85, 1.1);
            const double halfWidth = 22 * scale;
            QPainterPath flame(QPointF(x - halfWidth, base.y()));
            flame.cubicTo(x - halfWidth * 1.4, base.y() - height * 0.5, x + rng.range(-10, 10),
                          base.y() - height * 0.6, x + rng.range(-8, 8), base.y() - height);
            flame.cubicTo(x + halfWidth * 0.6, base.y() - height * 0.55, x + halfWidth * 1.4,
                          base.y() - height * 0.4, x + halfWidth, base.y());
            flame.closeSubpath();
            p.drawPath(flame);
        }
    }
    p.setBrush(QColor(255, 210, 90));
    for (int i = 0; i < 30; ++i) {
        p.drawEllipse(QPointF(base.x() + rng.range(-80, 80), rng.range(20, 120)), 1.2, 1.2);
    }
}

// ---- example pictures for the custom picture choice -------------------------

void mistyMorning(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, 0, H, {QColor(235, 225, 210), QColor(190, 200, 205)});
    ridge(p, 110, 10, 220, 0.3, QColor(150, 160, 170, 200));
    ridge(p, 140, 8, 160, 1.7, QColor(120, 135, 140, 220));
    ridge(p, 175, 6, 120, 2.9, QColor(85, 105, 100, 235));
    // Bands of mist drifting over the hills.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(QColor(245, 245, 245, 70));
        p.drawRect(QRectF(0, 120 + 22 * i, W, 10));
    }
}

void starryNight(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Rng rng(seedFor("starry night"));
    fillVertical(p, 0, H, {QColor(8, 12, 40), QColor(30, 40, 80)});
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 220; ++i) {
        const int glow = 170 + rng.below(85);
        p.setBrush(QColor(glow, glow, 255));
        const double r = rng.range(0.4, 1.4);
        p.drawEllipse(QPointF(rng.range(0, W), rng.range(0, H * 0.75)), r, r);
    }
    p.setBrush(QColor(245, 240, 210));
    p.drawEllipse(QPointF(250, 50), 18, 18);
    ridge(p, 200, 12, 180, 0.8, QColor(10, 15, 25));
}

void checkGif(GifFileType* gif, int result, const std::filesystem::path& path) {
    if (result == GIF_ERROR) {
        const int code = gif->Error;
        EGifCloseFile(gif, nullptr);
        throw std::runtime_error("cannot write " + path.string() + ": " + GifErrorString(code));
    }
}

} // namespace

const std::vector<Picture>& pictures() {
    static const std::vector<Picture> all{
        {"english fence.jpg", englishFence},
        {"sunsetboat.jpg", sunsetBoat},
        {"colouredleaves.jpg", colouredLeaves},
        {"oregonlake.jpg", oregonLake},
        {"riverpool.jpg", riverPool},
        {"puddle.jpg", puddle},
        {"lightning.jpg", lightning},
        {"sunsetwood.jpg", sunsetWood},
        {"countrylane.jpg", countryLane},
        {"sunset.jpg", sunset},
        {"raindrops.jpg", raindrops},
        {"englishsheep.jpg", englishSheep},
        {"autumnstream.jpg", autumnStream},
        {"thunder.gif", thunderStorm},
        {"firepic.gif", campFire},
        // Examples for the custom picture: not used by any scene.
        {"misty morning.jpg", mistyMorning},
        {"starry night.jpg", starryNight},
    };
    return all;
}

QImage paintPicture(const Picture& picture) {
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    picture.paint(image);
    return image;
}

void writeJpeg(const std::filesystem::path& path, const QImage& image) {
    PendingFile pending(path);
    if (!image.save(QString::fromStdString(pending.temporary().string()), "JPEG", 88)) {
        throw std::runtime_error("cannot write " + pending.temporary().string() +
                                 " (is Qt's JPEG image plugin installed?)");
    }
    pending.commit();
}

void writePng(const std::filesystem::path& path, const QImage& image) {
    PendingFile pending(path);
    if (!image.save(QString::fromStdString(pending.temporary().string()), "PNG")) {
        throw std::runtime_error("cannot write " + pending.temporary().string());
    }
    pending.commit();
}

const std::vector<SceneIcon>& sceneIcons() {
    static const std::vector<SceneIcon> icons{
        {"woodland.png", "colouredleaves.jpg"}, {"country.png", "englishsheep.jpg"},
        {"dawn.png", "thunder.gif"},            {"coast.png", "riverpool.jpg"},
        {"storm.png", "lightning.jpg"},         {"tropical.png", "sunset.jpg"},
        {"summer.png", "countrylane.jpg"},      {"jungle.png", "sunsetwood.jpg"},
        {"stream.png", "autumnstream.jpg"},     {"downpour.png", "raindrops.jpg"},
        {"night.png", "sunsetboat.jpg"},        {"fireside.png", "firepic.gif"},
    };
    return icons;
}

QImage iconFrom(const QImage& picture, int scale) {
    const int width = kIconWidth * scale;
    const int height = kIconHeight * scale;
    QImage icon = picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // The frame keeps its width in screen points: `scale` pixels, each pixel once.
    QPainterPath frame;
    frame.setFillRule(Qt::OddEvenFill);
    frame.addRect(0, 0, width, height);
    frame.addRect(scale, scale, width - 2 * scale, height - 2 * scale);
    QPainter p(&icon);
    p.fillPath(frame, QColor(0, 0, 0, 160));
    return icon;
}

void writeGif(const std::filesystem::path& path, const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int width = rgb.width();
    const int height = rgb.height();
    const auto pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<GifByteType> red(pixels), green(pixels), blue(pixels), indices(pixels);
    for (int y = 0; y < height; ++y) {
        const uchar* line = rgb.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            const auto i = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                           static_cast<std::size_t>(x);
            red[i] = line[3 * x];
            green[i] = line[3 * x + 1];
            blue[i] = line[3 * x + 2];
        }
    }
    std::array<GifColorType, 256> palette{};
    int paletteSize = static_cast<int>(palette.size());
    if (GifQuantizeBuffer(static_cast<unsigned>(width), static_cast<unsigned>(height), &paletteSize,
                          red.data(), green.data(), blue.data(), indices.data(),
                          palette.data()) == GIF_ERROR) {
        throw std::runtime_error("cannot reduce " + path.string() + " to 256 colours");
    }

    PendingFile pending(path);
    // Opened here rather than by giflib, which would create the file readable by its
    // owner only.
    const int fd = ::open(pending.temporary().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) {
        throw std::runtime_error("cannot create " + pending.temporary().string() + ": " +
                                 std::strerror(errno));
    }
    int error = 0;
    GifFileType* gif = EGifOpenFileHandle(fd, &error);
    if (gif == nullptr) {
        ::close(fd);
        throw std::runtime_error("cannot create " + pending.temporary().string() + ": " +
                                 GifErrorString(error));
    }
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(palette.size()), palette.data());
    const int screen = EGifPutScreenDesc(gif, width, height, 8, 0, map);
    GifFreeMapObject(map);
    checkGif(gif, screen, pending.temporary());
    checkGif(gif, EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr), pending.temporary());
    for (int y = 0; y < height; ++y) {
        checkGif(gif, EGifPutLine(gif, indices.data() + static_cast<std::size_t>(y) * width, width),
                 pending.temporary());
    }
    if (EGifCloseFile(gif, &error) == GIF_ERROR) {
        throw std::runtime_error("cannot write " + pending.temporary().string() + ": " +
                                 GifErrorString(error));
    }
    pending.commit();
}

} // namespace assetgen
