#include "gui/shell/CommandWiring.h"

#include "gui/exchange/BulkDelete.h"
#include "gui/exchange/PlateTransfer.h"
#include "gui/exchange/TagFileMenu.h"
#include "gui/reader/ReaderDialog.h"
#include "gui/register/MainDialog.h"
#include "gui/register/SearchDialog.h"
#include "gui/whitelist/WhitelistMenu.h"

void WireMainWindow(MainDialog& main) {
    main.SetCommand(1041, [&main] { RunSearch(main); });
    main.SetCommand(1045, [&main] { RunDeleteMenu(main); });
    main.SetCommand(1046, [&main] { RunPlateTransferMenu(main); });
    main.SetCommand(1047, [&main] { RunFileMenu(main); });
    main.SetCommand(1049, [&main] { RunWhitelistMenu(main); });
    AttachReaderWindow(main);
}
