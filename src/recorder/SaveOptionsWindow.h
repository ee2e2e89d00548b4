#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QRadioButton;

namespace sylvaro::recorder {

class Desktop;

// The save options window (`Form9`), shown after a take was saved: open the
// file, open its folder, go back to the console, or the audio e-mail choice
// that does nothing. Deletes itself when closed. UI thread only.
class SaveOptionsWindow : public QWidget {
    Q_OBJECT
public:
    SaveOptionsWindow(QString savedPath, QString savedFolder, Desktop& desktop,
                      QWidget* parent = nullptr);

    QRadioButton* choice(int number) const; // 1..4
    QPushButton* nextButton() const { return m_next; }
    QString shownPath() const;

private:
    void next();

    QString m_path;
    QString m_folder;
    Desktop& m_desktop;
    QLabel* m_pathLabel;
    QRadioButton* m_choices[4];
    QPushButton* m_next;
};

} // namespace sylvaro::recorder
