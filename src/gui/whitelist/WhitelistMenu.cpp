// First: the reader headers use a member name that Qt defines as a macro.
#include "link/ReaderLink.h"

#include "gui/whitelist/WhitelistMenu.h"

#include "core/app/RegisterContext.h"
#include "gui/app/Globals.h"
#include "gui/app/UiTexts.h"
#include "gui/register/RegisterView.h"
#include "gui/whitelist/WhitelistFlow.h"
#include "gui/whitelist/WhitelistFlowGuard.h"

std::vector<Prompts::MenuItem> WhitelistMenuItems(const LanguageTexts& texts) {
    auto item = [&texts](int id, const char* key, const char* fallback) {
        return Prompts::MenuItem{id, LookupText(texts, "APB1", key, QString::fromUtf8(fallback))};
    };
    return {
        item(WhitelistItem::ShowCount, "060", "讀取名單筆數"),
        item(WhitelistItem::Export, "061", "讀取名單匯出檔案"),
        Prompts::MenuItem{},
        item(WhitelistItem::WriteAll, "047", "全部資料匯入"),
        item(WhitelistItem::WriteMarked, "048", "有*標記資料匯入"),
        item(WhitelistItem::WriteUnmarked, "049", "無*標記資料匯入"),
        Prompts::MenuItem{},
        item(WhitelistItem::DeleteMarked, "051", "刪除有*標記資料"),
        item(WhitelistItem::DeleteUnmarked, "052", "刪除無*標記資料"),
        item(WhitelistItem::Clear, "062", "清空所有名單資料"),
    };
}

void RunWhitelistMenu(RegisterView& view) {
    if (readerLink == nullptr || WhitelistFlowRunning() || readerLink->Busy())
        return;
    const int chosen = prompts().Menu(view.CommandButton(1049), WhitelistMenuItems(view.Context().texts));
    if (chosen != 0)
        RunWhitelistItem(view, chosen);
}

void RunWhitelistItem(RegisterView& view, int itemId) {
    // The menu's own event loop may have served a Disconnect.
    if (readerLink == nullptr)
        return;
    WhitelistFlowGuard guard;
    WhitelistFlow flow(view, *readerLink);
    using Rows = WhitelistFlow::Rows;
    switch (itemId) {
    case WhitelistItem::ShowCount:
        flow.ShowCount();
        break;
    case WhitelistItem::Export:
        flow.Export();
        break;
    case WhitelistItem::WriteAll:
        flow.WriteRows(Rows::All);
        break;
    case WhitelistItem::WriteMarked:
        flow.WriteRows(Rows::Marked);
        break;
    case WhitelistItem::WriteUnmarked:
        flow.WriteRows(Rows::Unmarked);
        break;
    case WhitelistItem::DeleteMarked:
        flow.DeleteRows(Rows::Marked);
        break;
    case WhitelistItem::DeleteUnmarked:
        flow.DeleteRows(Rows::Unmarked);
        break;
    case WhitelistItem::Clear:
        flow.Clear();
        break;
    default:
        break;
    }
}
