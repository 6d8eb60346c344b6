#include "CommandWiring.h"

#include "BulkDelete.h"
#include "MainDialog.h"
#include "PlateTransfer.h"
#include "ReaderDialog.h"
#include "SearchDialog.h"
#include "TagFileMenu.h"
#include "WhitelistMenu.h"

void WireMainWindow(MainDialog& main) {
    main.SetCommand(1041, [&main] { RunSearch(main); });
    main.SetCommand(1045, [&main] { RunDeleteMenu(main); });
    main.SetCommand(1046, [&main] { RunPlateTransferMenu(main); });
    main.SetCommand(1047, [&main] { RunFileMenu(main); });
    main.SetCommand(1049, [&main] { RunWhitelistMenu(main); });
    AttachReaderWindow(main);
}
