#include "gui/exchange/TagFileImport.h"

#include "core/app/RegisterContext.h"
#include "core/tagfile/TagFileApply.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/exchange/HeldHiveQuestion.h"
#include "gui/exchange/LongWork.h"
#include "gui/exchange/RegisterReadWatch.h"
#include "gui/register/RegisterView.h"

#include <QIODevice>
#include <QStringList>

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

namespace {

QString Qs(const std::string& text) { return QString::fromStdString(text); }

// Diagnostic boxes of the check are English texts in every language. False when the register
// could not be read: nothing is known about the line then, and no box guesses.
bool CheckLine(RegisterView& view, const TagFileLine& line, const RegisterReadWatch& reads) {
    RegisterContext& context = view.Context();
    const std::vector<TagCheckFinding> findings =
        CheckTagFileLine(context.store, context.cars, context.motorcycles, line);
    if (reads.Failed())
        return false;
    for (const TagCheckFinding& finding : findings) {
        if (finding.kind == TagCheckFinding::Kind::Refused)
            prompts().Message(view.Window(),
                              LookupText(context.texts, "LUMETRA", "016", QStringLiteral("REFUSED => TAG:")) +
                                  Qs(line.tagId) + QStringLiteral(" NO:") + Qs(line.plate));
        else
            prompts().Message(view.Window(), Qs(finding.text));
    }
    return true;
}

// One box for all lines that could not be decoded: how many, and where the first of them are.
void ReportUnreadLines(RegisterView& view, const std::vector<int>& lineNumbers) {
    constexpr size_t kNamed = 20;
    const LanguageTexts& texts = view.Context().texts;
    QStringList named;
    for (size_t i = 0; i < lineNumbers.size() && i < kNamed; ++i)
        named << QString::number(lineNumbers[i]);
    if (lineNumbers.size() > kNamed)
        named << QStringLiteral("...");
    prompts().Message(view.Window(), LookupText(texts, "LUMETRA", "044", QStringLiteral("無法讀取的行數:")) +
                                         QLatin1Char(' ') + QString::number(lineNumbers.size()) + QLatin1Char('\n') +
                                         LookupText(texts, "LUMETRA", "045", QStringLiteral("行號:")) +
                                         QLatin1Char(' ') + named.join(QStringLiteral(", ")));
}

} // namespace

QByteArray ReadWholeLines(QIODevice& source, bool* readError, const std::function<void(qint64 lines)>& step) {
    QByteArray bytes;
    if (!source.isSequential())
        bytes.reserve(source.size() - source.pos()); // grown once, not copied again and again
    bool failed = false;
    qint64 lines = 0;
    char chunk[64 * 1024];
    for (;;) {
        const qint64 got = source.read(chunk, sizeof chunk);
        if (got < 0) {
            failed = true;
            break;
        }
        if (got == 0)
            break;
        bytes.append(chunk, got);
        if (step) {
            lines += std::count(chunk, chunk + got, '\n');
            step(lines);
        }
    }
    // A line cut by the error is not a line of the file.
    if (failed)
        bytes.truncate(bytes.lastIndexOf('\n') + 1);
    if (readError)
        *readError = failed;
    return bytes;
}

TagFileImportOutcome ImportTagFile(RegisterView& view, QIODevice& source, bool checkOnly) {
    RegisterContext& context = view.Context();
    TagFileImportOutcome outcome;
    // The progress window comes as soon as the file proves long, so a large file is read with
    // the window served too.
    std::optional<LongWork> work;
    const QByteArray bytes = ReadWholeLines(source, &outcome.readError, [&view, &work](qint64 lines) {
        if (!work && lines > LongWork::threshold)
            work.emplace(view, lines, 0);
        if (work)
            work->Step(0);
    });
    const RegisterReadWatch reads(context);
    {
        // Parsing, writing and listing each move the bar over the lines once.
        const qint64 lineCount = bytes.count('\n') + (bytes.endsWith('\n') ? 0 : 1);
        const qint64 steps = checkOnly ? lineCount : 3 * lineCount;
        if (work)
            work->SetSteps(steps);
        else
            work.emplace(view, lineCount, steps);

        TagFileReading reading =
            ReadTagFileLines({bytes.constData(), size_t(bytes.size())}, [&work](size_t i) { work->Step(qint64(i)); });
        for (const auto& [number, reason] : reading.passedOver)
            if (reason == TagLineOutcome::Undecodable)
                outcome.unreadLines.push_back(number);
        outcome.lines = int(reading.entries.size());
        if (checkOnly) {
            for (const TagFileEntry& entry : reading.entries) {
                work->Step(qint64(entry.lineNumber - 1));
                if (!CheckLine(view, entry.line, reads))
                    break;
            }
        } else {
            const qint64 written0 = lineCount;
            size_t newTags = 0;
            const std::vector<TagLineOutcome> stored =
                StoreTagFileEntries(context.store, reading.entries, AskWhenHiveHeld(view),
                                    [&work, written0](size_t i) { work->Step(written0 + qint64(i)); }, &newTags);
            view.ReserveRows(int(std::min<size_t>(size_t(view.RowCount()) + newTags, INT_MAX)));
            // In file order, so the last line of a tag wins in the list as it did in the store.
            const qint64 listed0 = written0 + qint64(reading.entries.size());
            TagRecord record;
            for (size_t i = 0; i < reading.entries.size(); ++i) {
                work->Step(listed0 + qint64(i));
                if (stored[i] != TagLineOutcome::Stored) {
                    ++outcome.failed;
                    continue;
                }
                const TagFileLine& line = reading.entries[i].line;
                record.tagId = line.tagId;
                record.plate = line.plate;
                record.carType = line.carType;
                view.UpsertRow(-1, record);
            }
        }
        ReleaseInSteps(reading.entries, *work, steps);
    }

    work.reset();
    view.ShowCountLine();
    context.config.registerChanged = true;
    const LanguageTexts& texts = context.texts;
    outcome.storeReadError = reads.Failed();
    if (outcome.storeReadError)
        reads.ShowBox(view);
    if (!outcome.unreadLines.empty())
        ReportUnreadLines(view, outcome.unreadLines);
    if (outcome.failed > 0) {
        prompts().Message(view.Window(), LookupText(texts, "LUMETRA", "003", QStringLiteral("無法寫入的資料筆數:")) +
                                             QLatin1Char(' ') + QString::number(outcome.failed));
    }
    if (outcome.readError) {
        prompts().Message(view.Window(), LookupText(texts, "LUMETRA", "005",
                                                    QStringLiteral("檔案未能完整讀取,只處理了錯誤之前的資料。")));
    }
    return outcome;
}
