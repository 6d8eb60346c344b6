#include "gui/exchange/TagFileExport.h"

#include "core/app/RegisterContext.h"
#include "core/store/WholeFileWriter.h"
#include "core/tagfile/TagFileLine.h"
#include "core/text/CodePage.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/exchange/LongWork.h"
#include "gui/register/RegisterView.h"

#include <QFile>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace {

constexpr size_t kNamedTags = 20;
// The file goes out a piece at a time, with the window served between pieces.
constexpr size_t kWriteBytes = 1 << 20;

// Yes/No: the whole file in UTF-8 (true) or Big5 without the rows that have no Big5 form.
bool AskWholeFileUtf8(RegisterView& view, size_t rowsWithoutBig5) {
    const LanguageTexts& texts = view.Context().texts;
    return prompts().Confirm(
        view.Window(), QStringLiteral("Export"),
        QStringLiteral("\n\n") + LookupText(texts, "LUMETRA", "040", QStringLiteral("無法以 Big5 儲存的資料筆數:")) +
            QLatin1Char(' ') + QString::number(rowsWithoutBig5) + QLatin1Char('\n') +
            LookupText(texts, "LUMETRA", "041", QStringLiteral("是否將整個檔案改以 UTF-8 儲存?")) + QLatin1Char('\n') +
            LookupText(texts, "LUMETRA", "042", QStringLiteral("(選「否」則以 Big5 儲存,並略過這些資料)")));
}

void ReportLeftOut(RegisterView& view, const std::vector<std::string>& tags) {
    QString text = LookupText(view.Context().texts, "LUMETRA", "043", QStringLiteral("未匯出的資料筆數:")) +
                   QLatin1Char(' ') + QString::number(tags.size());
    for (size_t i = 0; i < tags.size() && i < kNamedTags; ++i)
        text += QLatin1Char('\n') + QString::fromStdString(tags[i]);
    if (tags.size() > kNamedTags)
        text += QStringLiteral("\n...");
    prompts().Message(view.Window(), text);
}

// Forcing tens of megabytes to the disk can take longer than the window may go unserved,
// longer still while other writes are on their way out: the wait is served.
bool CommitServed(WholeFileWriter& writer, LongWork& work, qint64 position) {
    std::atomic<bool> finished = false;
    bool committed = false;
    std::thread commit([&] {
        committed = writer.Commit();
        finished = true;
    });
    while (!finished) {
        work.Step(position);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    commit.join();
    return committed;
}

} // namespace

TagFileText TagFileTextOf(const RegisterView& view, RowScope scope, const std::function<void(qint64)>& step) {
    std::vector<TagFileRow> rows;
    if (scope == RowScope::All)
        rows.reserve(size_t(view.RowCount())); // never moved while the rows are read
    // The count is read again for every row, as the list may change under a walk.
    for (int row = 0; row < view.RowCount(); ++row) {
        if (!RowInScope(scope, view.CellText(row, RegisterColumn::mark)))
            continue;
        if (step)
            step(qint64(rows.size()));
        rows.push_back({view.CellText(row, RegisterColumn::tag).toStdString(),
                        view.CellText(row, RegisterColumn::plate).toStdString(), ShownVehicle(view.RowCarType(row))});
    }
    const qint64 read = qint64(rows.size());
    if (!step)
        return TagFileTextOfRows(rows);
    return TagFileTextOfRows(rows, [&step, read](size_t row) { step(read + qint64(row)); });
}

QByteArray TagFileBytes(const RegisterView& view, RowScope scope) {
    const TagFileText text = TagFileTextOf(view, scope);
    const TagFileOutput file = TagFileOutputOf(text, false);
    QByteArray bytes;
    bytes.reserve(qsizetype(file.mark.size() + file.body.size()));
    bytes.append(file.mark.data(), qsizetype(file.mark.size()));
    bytes.append(file.body.data(), qsizetype(file.body.size()));
    return bytes;
}

bool ExportTagFile(RegisterView& view, RowScope scope, const QString& path) {
    // Reading the rows, finding their Big5 form and writing the file each move the bar over the
    // rows once.
    const qint64 inScope = RowsInScope(view, scope);
    std::optional<LongWork> work(std::in_place, view, inScope, 3 * inScope);
    const TagFileText text = TagFileTextOf(view, scope, [&work](qint64 done) { work->Step(done); });
    bool wholeFileUtf8 = false;
    if (!text.withoutBig5.empty()) {
        work.reset(); // no question under the progress window
        wholeFileUtf8 = AskWholeFileUtf8(view, text.withoutBig5.size());
        work.emplace(view, inScope, 3 * inScope);
    }
    const TagFileOutput file = TagFileOutputOf(text, wholeFileUtf8);
    const std::string_view body = file.body;
    WholeFileWriter writer(QFile::encodeName(path).toStdString());
    bool written = writer.Open() && writer.Write(file.mark);
    for (size_t at = 0; written && at < body.size(); at += kWriteBytes) {
        work->Step(2 * inScope + qint64(double(at) / double(body.size()) * double(inScope)));
        written = writer.Write(body.substr(at, kWriteBytes));
    }
    written = written && CommitServed(writer, *work, 3 * inScope);
    work.reset();
    if (!written) {
        prompts().Message(view.Window(), LookupText(view.Context().texts, "LUMETRA", "006",
                                                    QStringLiteral("檔案寫入失敗,原檔案未變更。")));
        return false;
    }
    if (!wholeFileUtf8 && !text.withoutBig5.empty())
        ReportLeftOut(view, text.withoutBig5);
    prompts().Message(view.Window(),
                      QStringLiteral("\n\n") + QString::fromStdString(view.Context().texts.Shared().doneText));
    return true;
}
