#pragma once

#include "core/text/LanguageTexts.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// A small window without a title bar that shows "處理中 ..." and a bar while a long loop runs
// on the user-interface thread. Moving the bar first serves every pending event, which is how
// the loop's socket notifications and repaints get through.
class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    ProgressDialog(const LanguageTexts& texts, QWidget* owner);
    ~ProgressDialog() override;

    // Builds and shows the window, 32 pixels shorter than its template so the second bar and
    // the Stop button stay cut off. False when it cannot be made.
    bool Create();
    // Any number of items: the bar's own range is not limited to 16 bits.
    void SetRange(qint64 low, qint64 high);
    void SetPos(qint64 pos);

    QString LabelText() const { return labelText; }
    QProgressBar* Bar() const { return bar; }

private:
    void ApplyRange();

    QString labelText;
    QString captionText;
    QLabel* label = nullptr;
    QProgressBar* bar = nullptr;
    QProgressBar* secondBar = nullptr;
    QPushButton* stopButton = nullptr;
    qint64 low = 0;
    qint64 high = 0;
};
