#include "gui/register/PlateInputFilter.h"

#include <QKeyEvent>
#include <QLineEdit>

bool PlateInputFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    auto* edit = qobject_cast<QLineEdit*>(watched);
    QString text = key->text();
    if (!edit || text.size() != 1 || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    QChar c = text.at(0);
    if (c.unicode() < 0x20 || c.unicode() == 0x7F)
        return false; // backspace, enter, escape and friends keep their meaning
    if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')))
        return false;
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) {
        if (!edit->isReadOnly())
            edit->insert(QString(QChar(c.unicode() - 'a' + 'A')));
        return true;
    }
    return true;
}
