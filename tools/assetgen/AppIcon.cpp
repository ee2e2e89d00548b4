#include "AppIcon.h"

#include "Output.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace assetgen {

namespace {

// A dusk sky over two hills, a rising moon, and sound spreading from a source:
// calm nature, made audible. Every layer is a path in SVG syntax (absolute M, L,
// Q and Z only) or a circle, so the SVG writer and the painter read the same data.
struct IconLayer {
    enum class Kind { Path, Circle } kind;
    std::string path;             // for Path
    double cx = 0, cy = 0, r = 0; // for Circle
    const char* fill = nullptr;   // "#rrggbb", "sky" for the background gradient, or none
    const char* stroke = nullptr; // "#rrggbb" or none
    double strokeWidth = 0;
    double opacity = 1.0;
};

// The rounded square every layer is clipped to.
constexpr double kInset = 16;
constexpr double kCorner = 52;

struct SkyStop {
    double at;
    const char* colour;
};
constexpr SkyStop kSky[] = {{0.0, "#1b2a4e"}, {0.6, "#3f6e8c"}, {1.0, "#f0b27a"}};

// Three arcs opening to the right of (cx, cy), each drawn as one quadratic curve.
std::string wave(double cx, double cy, double radius) {
    // The ends sit at ±45°; the control point where the tangents meet.
    const double end = radius * 0.7071;
    char text[128];
    std::snprintf(text, sizeof text, "M%.1f,%.1f Q%.1f,%.1f %.1f,%.1f", cx + end, cy - end,
                  cx + radius * 1.4142, cy, cx + end, cy + end);
    return text;
}

const std::vector<IconLayer>& layers() {
    static const std::vector<IconLayer> all{
        {IconLayer::Kind::Path, "M16,16 L240,16 L240,240 L16,240 Z", 0, 0, 0, "sky"},
        {IconLayer::Kind::Circle, {}, 178, 82, 28, "#fbe8a6"},
        {IconLayer::Kind::Path, "M16,178 Q84,128 150,166 Q204,196 240,150 L240,240 L16,240 Z", 0, 0,
         0, "#2f5d50"},
        {IconLayer::Kind::Path, "M16,214 Q98,170 176,206 Q214,222 240,198 L240,240 L16,240 Z", 0, 0,
         0, "#1e3d33"},
        {IconLayer::Kind::Circle, {}, 62, 112, 11, "#ffffff"},
        {IconLayer::Kind::Path, wave(62, 112, 30), 0, 0, 0, nullptr, "#ffffff", 10, 0.95},
        {IconLayer::Kind::Path, wave(62, 112, 52), 0, 0, 0, nullptr, "#ffffff", 10, 0.75},
        {IconLayer::Kind::Path, wave(62, 112, 74), 0, 0, 0, nullptr, "#ffffff", 10, 0.55},
    };
    return all;
}

QPainterPath parsePath(const std::string& data) {
    QPainterPath path;
    std::istringstream in(data);
    char command = 0;
    const auto point = [&in] {
        double x = 0, y = 0;
        char comma = 0;
        if (!(in >> x >> comma >> y) || comma != ',') {
            throw std::runtime_error("app icon: bad path data");
        }
        return QPointF(x, y);
    };
    while (in >> command) {
        switch (command) {
        case 'M':
            path.moveTo(point());
            break;
        case 'L':
            path.lineTo(point());
            break;
        case 'Q': {
            const QPointF control = point();
            path.quadTo(control, point());
            break;
        }
        case 'Z':
            path.closeSubpath();
            break;
        default:
            throw std::runtime_error(std::string("app icon: unknown path command ") + command);
        }
    }
    return path;
}

QPainterPath roundedSquare() {
    QPainterPath path;
    path.addRoundedRect(
        QRectF(kInset, kInset, kAppIconUnits - 2 * kInset, kAppIconUnits - 2 * kInset), kCorner,
        kCorner);
    return path;
}

} // namespace

std::string appIconSvg() {
    std::ostringstream svg;
    const double side = kAppIconUnits - 2 * kInset;
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kAppIconUnits << "\" height=\""
        << kAppIconUnits << "\" viewBox=\"0 0 " << kAppIconUnits << ' ' << kAppIconUnits << "\">\n"
        << "  <defs>\n"
        << "    <linearGradient id=\"sky\" x1=\"0\" y1=\"" << kInset << "\" x2=\"0\" y2=\""
        << kAppIconUnits - kInset << "\" gradientUnits=\"userSpaceOnUse\">\n";
    for (const SkyStop& stop : kSky) {
        svg << "      <stop offset=\"" << stop.at << "\" stop-color=\"" << stop.colour << "\"/>\n";
    }
    svg << "    </linearGradient>\n"
        << "    <clipPath id=\"square\">\n"
        << "      <rect x=\"" << kInset << "\" y=\"" << kInset << "\" width=\"" << side
        << "\" height=\"" << side << "\" rx=\"" << kCorner << "\"/>\n"
        << "    </clipPath>\n"
        << "  </defs>\n"
        << "  <g clip-path=\"url(#square)\">\n";
    for (const IconLayer& layer : layers()) {
        svg << "    ";
        if (layer.kind == IconLayer::Kind::Circle) {
            svg << "<circle cx=\"" << layer.cx << "\" cy=\"" << layer.cy << "\" r=\"" << layer.r
                << '"';
        } else {
            svg << "<path d=\"" << layer.path << '"';
        }
        if (layer.fill == nullptr) {
            svg << " fill=\"none\"";
        } else if (std::string(layer.fill) == "sky") {
            svg << " fill=\"url(#sky)\"";
        } else {
            svg << " fill=\"" << layer.fill << '"';
        }
        if (layer.stroke != nullptr) {
            svg << " stroke=\"" << layer.stroke << "\" stroke-width=\"" << layer.strokeWidth
                << "\" stroke-linecap=\"round\"";
        }
        if (layer.opacity < 1.0) {
            svg << " opacity=\"" << layer.opacity << '"';
        }
        svg << "/>\n";
    }
    svg << "  </g>\n</svg>\n";
    return svg.str();
}

QImage paintAppIcon(int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(static_cast<double>(pixels) / kAppIconUnits,
            static_cast<double>(pixels) / kAppIconUnits);
    p.setClipPath(roundedSquare());
    QLinearGradient sky(0, kInset, 0, kAppIconUnits - kInset);
    for (const SkyStop& stop : kSky) {
        sky.setColorAt(stop.at, QColor(QString::fromLatin1(stop.colour)));
    }
    for (const IconLayer& layer : layers()) {
        QPainterPath path;
        if (layer.kind == IconLayer::Kind::Circle) {
            path.addEllipse(QPointF(layer.cx, layer.cy), layer.r, layer.r);
        } else {
            path = parsePath(layer.path);
        }
        p.setOpacity(layer.opacity);
        if (layer.fill == nullptr) {
            p.setBrush(Qt::NoBrush);
        } else if (std::string(layer.fill) == "sky") {
            p.setBrush(sky);
        } else {
            p.setBrush(QColor(QString::fromLatin1(layer.fill)));
        }
        if (layer.stroke != nullptr) {
            QPen pen(QColor(QString::fromLatin1(layer.stroke)), layer.strokeWidth);
            pen.setCapStyle(Qt::RoundCap);
            p.setPen(pen);
        } else {
            p.setPen(Qt::NoPen);
        }
        p.drawPath(path);
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

void writeAppIcons(const std::filesystem::path& folder) {
    {
        PendingFile pending(folder / "sylvaro-lite.svg");
        std::ofstream out(pending.temporary(), std::ios::binary);
        out << appIconSvg();
        out.close();
        if (!out) {
            throw std::runtime_error("cannot write " + pending.temporary().string());
        }
        pending.commit();
    }
    for (int size : kAppIconSizes) {
        PendingFile pending(folder / ("sylvaro-lite-" + std::to_string(size) + ".png"));
        if (!paintAppIcon(size).save(QString::fromStdString(pending.temporary().string()), "PNG")) {
            throw std::runtime_error("cannot write " + pending.temporary().string());
        }
        pending.commit();
    }
}

} // namespace assetgen
