#pragma once

#include <QString>
#include <QStringList>

class QUrl;

namespace sylvaro::recorder {

// What the recorder asks of the desktop: open a file or folder with its
// default program, start a program, find one. Tests record the requests.
// UI thread only.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual bool openUrl(const QUrl& url) = 0;
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
    // The full path of `name` on PATH, empty when there is none.
    virtual QString findProgram(const QString& name) const = 0;
};

// The real desktop: QDesktopServices and detached processes.
class QtDesktop final : public Desktop {
public:
    bool openUrl(const QUrl& url) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    QString findProgram(const QString& name) const override;
};

} // namespace sylvaro::recorder
