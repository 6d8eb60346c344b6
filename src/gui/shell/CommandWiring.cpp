#include "gui/shell/CommandWiring.h"

#include "gui/exchange/BulkDelete.h"
#include "gui/exchange/PlateTransfer.h"
#include "gui/exchange/TagFileMenu.h"
#include "gui/reader/ReaderDialog.h"
#include "gui/register/MainDialog.h"
#include "gui/register/SearchDialog.h"
#include "gui/whitelist/WhitelistMenu.h"

void WireMainWindow(MainDialog& main) {
    main.SetCommand(MainControl::Search, [&main] { RunSearch(main); });
    main.SetCommand(MainControl::Delete, [&main] { RunDeleteMenu(main); });
    main.SetCommand(MainControl::PlateTransfer, [&main] { RunPlateTransferMenu(main); });
    main.SetCommand(MainControl::FileMenu, [&main] { RunFileMenu(main); });
    main.SetCommand(MainControl::Whitelist, [&main] { RunWhitelistMenu(main); });
    AttachReaderWindow(main);
}
