#pragma once

#include <QObject>
#include <QPointer>

namespace sylvaro::app {
class ConsoleWindow;
}

namespace sylvaro::exporting {

class ExportWindow;

// The console's "Export Soundscape…": answers the File menu's request with
// the export window, made over the console on first use; an export takes the
// console's mix as it is when it starts. Ends before the console does: a
// running export stops and removes its unfinished file. UI thread only.
class ConsoleExport : public QObject {
    Q_OBJECT
public:
    explicit ConsoleExport(app::ConsoleWindow& console);
    ~ConsoleExport() override;

    ExportWindow& window();

private:
    app::ConsoleWindow& m_console;
    QPointer<ExportWindow> m_window;
};

} // namespace sylvaro::exporting
