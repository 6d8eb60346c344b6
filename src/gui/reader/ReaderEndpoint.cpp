#include "gui/reader/ReaderEndpoint.h"

#include "gui/app/Globals.h"
#include "gui/app/TagEntrySink.h"

#include <QPointer>

bool OpenReaderLink(const QString& host, quint16 port, const ReaderLink::Timings& timings) {
    CloseReaderLink();
    auto* link = new ReaderLink(timings, TagEntrySink());
    readerLink = link;
    QPointer<ReaderLink> guard(link);
    const bool opened = link->Open(host, port);
    // The connect wait serves events; a close served there has destroyed the link already.
    if (guard.isNull())
        return false;
    if (opened && readerLink == link)
        return true;
    if (readerLink == link)
        readerLink = nullptr;
    delete link;
    return false;
}

void CloseReaderLink() {
    if (ReaderLink* link = readerLink) {
        readerLink = nullptr;
        link->Close();
        delete link;
    }
}
