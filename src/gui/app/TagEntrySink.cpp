#include "gui/app/TagEntrySink.h"

#include "gui/app/Globals.h"

#include <QLineEdit>

std::function<void(const QString&)> TagEntrySink() {
    return [](const QString& id) {
        if (tagEntryTarget != nullptr)
            tagEntryTarget->setText(id);
    };
}
