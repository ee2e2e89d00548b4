#include "SkinnedButton.h"

#include <QDesktopServices>
#include <QDir>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QUrl>

namespace sylvaro::widgets {

namespace {

std::function<void(const QString&)>& soundPlayer() {
    static std::function<void(const QString&)> player;
    return player;
}

std::function<void(const QUrl&)>& urlOpener() {
    static std::function<void(const QUrl&)> opener;
    return opener;
}

constexpr int kPaddingX = 12;
constexpr int kPaddingY = 6;
constexpr int kPictureGap = 6;

} // namespace

SkinnedButton::SkinnedButton(const QString& caption, QWidget* parent) : QAbstractButton(parent) {
    setText(caption);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
}

QSize SkinnedButton::sizeHint() const {
    const QFontMetrics metrics(font());
    const QString caption = text().isEmpty() ? QStringLiteral("X") : text();
    QSize box = metrics.size(Qt::TextShowMnemonic, caption);
    if (!icon().isNull()) {
        box.rwidth() += iconSize().width() + kPictureGap;
        box.setHeight(std::max(box.height(), iconSize().height()));
    }
    return {std::max(box.width() + 2 * kPaddingX, 72), box.height() + 2 * kPaddingY};
}

QSize SkinnedButton::minimumSizeHint() const {
    return sizeHint();
}

void SkinnedButton::setSoundPlayer(std::function<void(const QString&)> player) {
    soundPlayer() = std::move(player);
}

void SkinnedButton::playSound(const QString& file) {
    if (soundPlayer() && !file.isEmpty()) {
        soundPlayer()(file);
    }
}

void SkinnedButton::setUrlOpener(std::function<void(const QUrl&)> opener) {
    urlOpener() = std::move(opener);
}

void SkinnedButton::openUrl(const QUrl& url) {
    if (urlOpener()) {
        urlOpener()(url);
    } else {
        QDesktopServices::openUrl(url);
    }
}

QString SkinnedButton::resolveSoundFile(const QString& stored, const QString& programDir) {
    QString name = stored.trimmed();
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (name.startsWith(QLatin1String("./"))) {
        name.remove(0, 2);
    }
    if (name.isEmpty() || name == QLatin1String(".")) {
        return {};
    }
    return QDir::isAbsolutePath(name) ? QDir::cleanPath(name)
                                      : QDir::cleanPath(programDir + QLatin1Char('/') + name);
}

void SkinnedButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    if (!m_hovering) {
        m_hovering = true;
        update();
        Q_EMIT hoverChanged(true);
    }
}

void SkinnedButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    if (m_hovering) {
        m_hovering = false;
        update();
        Q_EMIT hoverChanged(false);
    }
}

void SkinnedButton::keyPressEvent(QKeyEvent* event) {
    // Enter clicks as on the desktop's own buttons; Space is the base's.
    if (!event->isAutoRepeat() &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        click();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void SkinnedButton::changeEvent(QEvent* event) {
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_hovering) {
        // A disabled button gets no leave event; it shows plain at once.
        m_hovering = false;
        Q_EMIT hoverChanged(false);
    }
}

void SkinnedButton::paintCaption(QPainter& painter, const QRect& area, const Look& look,
                                 const QPixmap& picture) const {
    QRect box = area;
    if (look.sunken) {
        box.translate(1, 1);
    }
    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(text());
    int pictureWidth = 0;
    QPixmap shown = picture;
    if (!shown.isNull()) {
        const int side = std::min(box.height() - 4, shown.height());
        shown = shown.scaledToHeight(std::max(side, 1), Qt::SmoothTransformation);
        pictureWidth = shown.width() + (text().isEmpty() ? 0 : kPictureGap);
    }
    const int left = box.left() + (box.width() - textWidth - pictureWidth) / 2;
    if (!shown.isNull()) {
        painter.drawPixmap(left, box.top() + (box.height() - shown.height()) / 2, shown);
    }
    painter.setPen(look.text);
    painter.setFont(font());
    painter.drawText(QRect(left + pictureWidth, box.top(), textWidth + 1, box.height()),
                     Qt::AlignVCenter | Qt::AlignLeft | Qt::TextShowMnemonic, text());
}

void SkinnedButton::paintFocus(QPainter& painter, const QRect& inner) const {
    QPen dotted(palette().color(QPalette::ButtonText), 1, Qt::DotLine);
    painter.save();
    painter.setPen(dotted);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(inner.adjusted(0, 0, -1, -1));
    painter.restore();
}

} // namespace sylvaro::widgets
