#include "ConsoleMenus.h"

#include <QAction>
#include <QMenuBar>

namespace sylvaro::app {

namespace {

QMenu* addMenu(QMenuBar* bar, const QString& title, const QString& name) {
    QMenu* menu = bar->addMenu(title);
    menu->setObjectName(name);
    return menu;
}

QAction* addNamedAction(QMenu* menu, const QString& text, const QString& name) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    return action;
}

} // namespace

ConsoleMenus::ConsoleMenus(QMenuBar* bar)
    : QObject(bar), m_bar(bar), m_file(addMenu(bar, tr("&File"), QStringLiteral("mnuFile"))),
      m_alarm(addMenu(bar, tr("&Alarm"), QStringLiteral("mnuAlarm"))),
      m_options(addMenu(bar, tr("&Options"), QStringLiteral("mnuOptions"))),
      m_help(addMenu(bar, tr("&Help"), QStringLiteral("mnuHelp"))) {
    connect(addNamedAction(m_file, QStringLiteral("Load User Config"), QStringLiteral("mnuLoad")),
            &QAction::triggered, this, &ConsoleMenus::loadRequested);
    connect(addNamedAction(m_file, QStringLiteral("Save User Config"), QStringLiteral("mnuSave")),
            &QAction::triggered, this, &ConsoleMenus::saveRequested);
    connect(
        addNamedAction(m_file, QStringLiteral("Export Soundscape…"), QStringLiteral("mnuExport")),
        &QAction::triggered, this, &ConsoleMenus::exportRequested);
    m_file->addSeparator();
    connect(addNamedAction(m_file, QStringLiteral("Exit"), QStringLiteral("mnuExit")),
            &QAction::triggered, this, &ConsoleMenus::exitRequested);

    for (const auto& [text, name] :
         {std::pair{QStringLiteral("Alarm On"), QStringLiteral("mnuAlarmOn")},
          std::pair{QStringLiteral("Alarm Off"), QStringLiteral("mnuAlarmOff")}}) {
        QAction* a = addNamedAction(m_alarm, text, name);
        a->setCheckable(true);
    }
    connect(addNamedAction(m_options, QStringLiteral("Change Font Color"),
                           QStringLiteral("mnuFontColor")),
            &QAction::triggered, this, &ConsoleMenus::fontColourRequested);
    connect(addNamedAction(m_options, QStringLiteral("Change Background Color"),
                           QStringLiteral("mnuBackColor")),
            &QAction::triggered, this, &ConsoleMenus::backColourRequested);
    connect(addNamedAction(m_help, QStringLiteral("Help!"), QStringLiteral("mnuHelpTopics")),
            &QAction::triggered, this, &ConsoleMenus::helpRequested);
    m_help->addSeparator();
    connect(addNamedAction(m_help, QStringLiteral("About"), QStringLiteral("mnuAbout")),
            &QAction::triggered, this, &ConsoleMenus::aboutRequested);
    setStarted(false);
}

QAction* ConsoleMenus::action(const QString& objectName) const {
    return m_bar->findChild<QAction*>(objectName);
}

void ConsoleMenus::setStarted(bool started) {
    for (QMenu* m : {m_alarm, m_options, m_help}) {
        m->menuAction()->setEnabled(started);
    }
}

void ConsoleMenus::setFileEnabled(bool enabled) {
    m_file->menuAction()->setEnabled(enabled);
}

} // namespace sylvaro::app
