#include "core/reader/TagReport.h"

#include "core/reader/Frame.h"
#include "core/reader/HexText.h"

std::vector<std::string> ParseTagReport(std::span<const std::uint8_t> frame) {
    std::vector<std::string> ids;
    if (frame.size() < 6)
        return ids;
    std::size_t countAt = 0;
    if (frame[5] == ReaderCode::tagReport)
        countAt = 14;
    else if (frame[5] == ReaderCode::tagReportShort)
        countAt = 8;
    else
        return ids;
    if (frame.size() <= countAt)
        return ids;

    const int count = frame[countAt];
    std::size_t e = countAt + 1;
    for (int i = 0; i < count && e < frame.size(); ++i) {
        const std::size_t length = frame[e];
        const std::size_t end = e + length + 1;
        if (end > frame.size())
            break;
        ids.push_back(length > 3 ? BytesToHex(frame.data() + e + 3, length - 3) : std::string());
        e = end;
    }
    return ids;
}
