#include "LayoutProbe.h"

#include "app/ConsoleLifecycle.h"
#include "app/ConsoleWindow.h"
#include "core/RandomSource.h"
#include "core/ScriptedDialogs.h"
#include "core/VirtualTimerHost.h"
#include "core/VirtualWallClock.h"
#include "panels/ScenePanel.h"
#include "support/BuiltProgram.h"
#include "support/FakeAudioOutput.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolButton>
#include <cstdio>

namespace sylvaro::test {

namespace {

QString nameOf(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

} // namespace

int runLayoutProbe() {
    const QString built = builtProgramDir();
    if (built.isEmpty()) {
        std::fputs("probe: SYLVARO_PROGRAM_DIR does not point at a built program folder\n", stderr);
        return 2;
    }
    QTemporaryDir tmp;
    const QString program = tmp.filePath(QStringLiteral("program"));
    makeLinkedProgram(built, program);

    core::VirtualTimerHost host;
    core::ScriptedDialogs dialogs;
    core::RandomSource random{1};
    core::VirtualWallClock clock{host, QDateTime(QDate(2026, 12, 8), QTime(12, 0))};
    FakeAudioOutput audio;
    app::ConsoleWindow console(app::Services{core::AppDir(program), host, dialogs, random, clock,
                                             audio, [](const QString&) {}});
    console.load();
    host.advance(app::ConsoleLifecycle::kStartupIntervalMs);
    if (!console.lifecycle().isStarted()) {
        std::fputs("probe: the console did not start\n", stderr);
        return 3;
    }
    console.show();
    console.scenes().button("Storm")->click();
    host.advance(app::ConsoleLifecycle::kResumeIntervalMs);
    QApplication::processEvents();

    QTextStream out(stdout);
    const qreal dpr = console.devicePixelRatioF();
    const auto device = [dpr](int logical) { return qRound(logical * dpr); };
    out << "window " << device(console.width()) << ' ' << device(console.height()) << '\n';
    for (const char* name : {"Image2", "backgroundChannels", "volumeControls", "randomSounds",
                             "scenePanel", "clockAlarm"}) {
        if (const auto* panel = console.findChild<QWidget*>(QLatin1String(name))) {
            out << "panel " << name << ' ' << device(panel->width()) << ' '
                << device(panel->height()) << '\n';
        }
    }
    for (QWidget* w : console.findChildren<QWidget*>()) {
        if (!w->isVisible()) {
            continue;
        }
        auto* label = qobject_cast<QLabel*>(w);
        auto* button = qobject_cast<QAbstractButton*>(w);
        bool cut = false;
        if (label != nullptr && !label->text().isEmpty() && !label->wordWrap()) {
            cut = w->width() < w->sizeHint().width() || w->height() < w->sizeHint().height();
        } else if (auto* push = qobject_cast<QPushButton*>(w); push && !push->text().isEmpty()) {
            // A push button's size hint holds the style's minimum width, not
            // what its caption needs: the caption and the bevel's margins.
            const QSize text = push->fontMetrics().size(Qt::TextShowMnemonic, push->text());
            const int margin = push->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, push);
            cut = w->width() < text.width() + margin || w->height() < text.height();
        } else if (auto* edit = qobject_cast<QLineEdit*>(w); edit && !edit->text().isEmpty()) {
            // The text box's own margins and frame come on top of the text.
            QStyleOptionFrame frame;
            frame.initFrom(edit);
            const int frameWidth =
                edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, edit);
            const QMargins margins = edit->textMargins();
            cut = w->width() < edit->fontMetrics().horizontalAdvance(edit->text()) +
                                   2 * frameWidth + margins.left() + margins.right() + 4;
        } else if (button != nullptr && !button->text().isEmpty()) {
            cut = w->width() < w->sizeHint().width() || w->height() < w->sizeHint().height();
        }
        if (cut) {
            out << "cut " << nameOf(w) << '\n';
        }
        if (label != nullptr && !label->pixmap().isNull()) {
            const QPixmap pixmap = label->pixmap();
            out << "picture " << nameOf(w) << ' ' << w->width() << ' ' << w->height() << ' '
                << pixmap.width() << ' ' << pixmap.height() << ' ' << pixmap.devicePixelRatio()
                << '\n';
        }
        if (button != nullptr && !button->icon().isNull()) {
            const QSize size = button->iconSize();
            const QPixmap pixmap = button->icon().pixmap(size, dpr);
            out << "icon " << nameOf(w) << ' ' << size.width() << ' ' << size.height() << ' '
                << pixmap.width() << ' ' << pixmap.height() << '\n';
        }
    }
    out.flush();
    return 0;
}

} // namespace sylvaro::test
