#include "QtDialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace sylvaro::widgets {

namespace {

QMessageBox::Icon toQt(core::MessageIcon icon) {
    switch (icon) {
    case core::MessageIcon::Information:
        return QMessageBox::Information;
    case core::MessageIcon::Warning:
        return QMessageBox::Warning;
    case core::MessageIcon::Error:
        return QMessageBox::Critical;
    case core::MessageIcon::Question:
        return QMessageBox::Question;
    case core::MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(core::MessageButtons buttons) {
    switch (buttons) {
    case core::MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case core::MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case core::MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case core::MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

core::MessageAnswer QtDialogs::message(const core::MessageRequest& request) {
    QMessageBox box(toQt(request.icon), request.title, request.text, toQt(request.buttons),
                    m_parent);
    box.setTextFormat(Qt::PlainText);
    if (!request.detail.isEmpty()) {
        box.setDetailedText(request.detail);
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return core::MessageAnswer::Ok;
    case QMessageBox::Cancel:
        return core::MessageAnswer::Cancel;
    case QMessageBox::Yes:
        return core::MessageAnswer::Yes;
    case QMessageBox::No:
        return core::MessageAnswer::No;
    default:
        // Escape or the title bar's close: Cancel where there is one, else OK.
        return request.buttons == core::MessageButtons::Ok ? core::MessageAnswer::Ok
                                                           : core::MessageAnswer::Cancel;
    }
}

} // namespace sylvaro::widgets

namespace sylvaro::widgets {

std::uint32_t QtDialogs::chooseColour() {
    const QColor chosen = QColorDialog::getColor(QColor::fromRgb(m_lastColour), m_parent);
    if (chosen.isValid()) {
        m_lastColour = chosen.rgb() & 0xFFFFFFu;
    }
    return m_lastColour;
}

} // namespace sylvaro::widgets

namespace sylvaro::widgets {

QString QtDialogs::toQtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        // Qt reads the patterns from the parentheses of the description.
        entries << (description.contains(QLatin1Char('('))
                        ? description
                        : QStringLiteral("%1 (%2)").arg(description, pattern));
    }
    return entries.join(QStringLiteral(";;"));
}

QString QtDialogs::openFileName(const core::FileRequest& request) {
    const QString start = request.fileName.isEmpty()
                              ? request.folder
                              : QDir(request.folder).filePath(request.fileName);
    return QFileDialog::getOpenFileName(m_parent, request.title, start, toQtFilter(request.filter));
}

QString QtDialogs::saveFileName(const core::FileRequest& request) {
    const QString start = request.fileName.isEmpty()
                              ? request.folder
                              : QDir(request.folder).filePath(request.fileName);
    return QFileDialog::getSaveFileName(m_parent, request.title, start, toQtFilter(request.filter));
}

} // namespace sylvaro::widgets
