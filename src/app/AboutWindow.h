#pragma once

#include <QDialog>
#include <cstdint>

namespace sylvaro::widgets {
class ChameleonButton;
}

namespace sylvaro::app {

// The about window (`Form2`), "Sylvaro Lite V5.5": who made the program,
// in the console's background colour, with one button that closes it.
// Modeless. UI thread only.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* console);

    // Takes the console's current background colour (stored form).
    void setBackColour(std::int32_t stored);
    widgets::ChameleonButton* closeButton() const { return m_close; }

    static const QString kTitle;

private:
    QWidget* m_console;
    widgets::ChameleonButton* m_close;
};

} // namespace sylvaro::app
