#include "gui/exchange/LongWork.h"

#include "gui/exchange/ProgressDialog.h"
#include "gui/register/MainDialog.h"

#include <QCoreApplication>
#include <QEvent>

LongWork::LongWork(MainDialog& owner, qint64 rows, qint64 steps) : main(&owner) {
    if (rows <= threshold)
        return;
    shown = true;
    owner.setEnabled(false);
    // Events are served mid-command: the window must not close under it.
    owner.installEventFilter(this);
    progress = new ProgressDialog(owner.Context().texts, &owner);
    if (!progress->Create()) {
        delete progress.data();
    } else {
        progress->SetRange(0, steps);
        progress->SetPos(0);
    }
    sinceServed.start();
}

LongWork::~LongWork() {
    if (!shown)
        return;
    delete progress.data();
    if (main) {
        main->removeEventFilter(this);
        main->setEnabled(true);
    }
}

void LongWork::Step(qint64 position) {
    if (!shown || sinceServed.elapsed() < serveEveryMs)
        return;
    if (progress)
        progress->SetPos(position); // serves pending events first
    else
        QCoreApplication::processEvents();
    sinceServed.restart();
}

bool LongWork::eventFilter(QObject* watched, QEvent* event) {
    if (watched == main && event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
