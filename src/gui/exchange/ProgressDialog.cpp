#include "gui/exchange/ProgressDialog.h"

#include "gui/app/DialogUnits.h"
#include "gui/app/UiTexts.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace {
constexpr qint64 kBarSteps = 65535; // larger ranges move the bar proportionally
}

ProgressDialog::ProgressDialog(const LanguageTexts& texts, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      labelText(LookupText(texts, "COMMON", "045", QStringLiteral("處理中 ..."))),
      captionText(LookupText(texts, "LUMETRA", "015", QStringLiteral("處理中"))) {
    setObjectName(QStringLiteral("id301"));
    setFont(DialogUnits::DialogFont());
    // No title bar shows it, but the task switcher and assistive technology name the window by it.
    setWindowTitle(captionText);
    setAccessibleName(labelText);
}

ProgressDialog::~ProgressDialog() = default;

bool ProgressDialog::Create() {
    DialogUnits du(font());
    QSize size = du.Size(130, 65);

    label = new QLabel(QStringLiteral("Processing ..."), this);
    SetControlId(label, 803);
    label->setGeometry(du.Rect(5, 10, 95, 15));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    if (!labelText.isEmpty())
        SetControlText(label, labelText);

    auto* icon = new QLabel(this);
    SetControlId(icon, 800);
    icon->setGeometry(du.Rect(105, 6, 20, 20));
    icon->setPixmap(style()->standardIcon(QStyle::SP_BrowserReload).pixmap(du.Y(20), du.Y(20)));
    icon->setAccessibleName(captionText);

    bar = new QProgressBar(this);
    SetControlId(bar, 801);
    bar->setGeometry(du.Rect(5, 30, 120, 7));
    bar->setTextVisible(false);
    bar->setAccessibleName(labelText);
    secondBar = new QProgressBar(this);
    SetControlId(secondBar, 802);
    secondBar->setGeometry(du.Rect(5, 40, 120, 7));
    secondBar->hide();
    stopButton = new QPushButton(QStringLiteral("Stop"), this);
    SetControlId(stopButton, 1040);
    stopButton->setGeometry(du.Rect(75, 50, 50, 12));
    stopButton->hide();
    ApplyRange(); // a range set before the window existed

    setFixedSize(size.width(), std::max(1, size.height() - 32));
    if (QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    return true;
}

void ProgressDialog::SetRange(qint64 lowBound, qint64 highBound) {
    low = lowBound;
    high = std::max(lowBound, highBound);
    ApplyRange();
}

void ProgressDialog::ApplyRange() {
    if (!bar)
        return;
    // An empty range would turn the bar into a busy indicator; it should simply stand empty.
    bar->setRange(0, static_cast<int>(std::clamp(high - low, qint64(1), kBarSteps)));
    bar->setValue(0);
}

void ProgressDialog::SetPos(qint64 pos) {
    QApplication::processEvents(QEventLoop::AllEvents);
    if (!bar)
        return;
    qint64 span = high - low;
    qint64 offset = std::clamp(pos - low, qint64(0), span);
    qint64 value = span <= kBarSteps ? offset : offset * kBarSteps / span;
    bar->setValue(static_cast<int>(value));
}
