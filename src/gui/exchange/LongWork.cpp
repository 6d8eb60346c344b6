#include "gui/exchange/LongWork.h"

#include "core/app/RegisterContext.h"
#include "gui/exchange/ProgressDialog.h"
#include "gui/register/RegisterView.h"

#include <QCoreApplication>
#include <QEvent>

LongWork::LongWork(RegisterView& registerView, qint64 rows, qint64 steps)
    : view(registerView), window(registerView.Window()) {
    view.BeginRowBatch();
    if (rows <= threshold)
        return;
    shown = true;
    window->setEnabled(false);
    // Events are served mid-command: the window must not close under it.
    window->installEventFilter(this);
    progress = new ProgressDialog(view.Context().texts, window);
    if (!progress->Create()) {
        delete progress.data();
    } else {
        progress->SetRange(0, steps);
        progress->SetPos(0);
    }
    // The first step serves at once, so the progress window is drawn as soon as it is up.
}

LongWork::~LongWork() {
    if (window)
        view.EndRowBatch();
    if (!shown)
        return;
    delete progress.data();
    if (window) {
        window->removeEventFilter(this);
        window->setEnabled(true);
    }
}

void LongWork::SetSteps(qint64 steps) {
    if (progress)
        progress->SetRange(0, steps);
}

void LongWork::Step(qint64 position) {
    if (!shown || (sinceServed.isValid() && sinceServed.elapsed() < serveEveryMs))
        return;
    if (window)
        view.FlushRowChanges();
    if (progress)
        progress->SetPos(position); // serves pending events first
    else
        QCoreApplication::processEvents();
    sinceServed.start();
}

bool LongWork::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window && event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
