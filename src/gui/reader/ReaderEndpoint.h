#pragma once

#include "link/ReaderLink.h"

#include <QString>

// The one reader connection of the process, reached through readerLink.

// Closes any link first, then connects; true with readerLink set once connected within the
// connect deadline, false with readerLink null otherwise. Frame processing starts off.
[[nodiscard]] bool OpenReaderLink(const QString& host, quint16 port,
                                  const ReaderLink::Timings& timings = ReaderLink::Timings{});

// Ends any link. Safe with no link, and while an operation of the link waits (it then returns
// its failure value).
void CloseReaderLink();
