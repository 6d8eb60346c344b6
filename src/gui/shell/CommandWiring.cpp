#include "gui/shell/CommandWiring.h"

#include "gui/app/Globals.h"
#include "gui/exchange/BulkDelete.h"
#include "gui/exchange/PlateTransfer.h"
#include "gui/exchange/TagFileMenu.h"
#include "gui/reader/ReaderEndpoint.h"
#include "gui/register/MainDialog.h"
#include "gui/register/SearchDialog.h"
#include "gui/whitelist/WhitelistMenu.h"

#include <QLineEdit>
#include <QPointer>

void WireMainWindow(MainDialog& main) {
    main.SetCommand(1041, [&main] { RunSearch(main); });
    main.SetCommand(1045, [&main] { RunDeleteMenu(main); });
    main.SetCommand(1046, [&main] { RunPlateTransferMenu(main); });
    main.SetCommand(1047, [&main] { RunFileMenu(main); });
    main.SetCommand(1049, [&main] { RunWhitelistMenu(main); });
    AttachReaderWindow(main);
}

void AttachReaderWindow(MainDialog& main, ReaderWindowOptions options) {
    QPointer<MainDialog> owner(&main);
    main.SetCommand(1043, [owner, options] {
        if (owner.isNull())
            return;
        if (readerWindow == nullptr)
            readerWindow = new ReaderDialog(*owner, options);
        readerWindow->show();
        readerWindow->raise();
        readerWindow->activateWindow();
        owner->PlateField()->setFocus();
    });
    main.SetConnectingProbe([] { return readerWindow != nullptr && readerWindow->connecting(); });
    main.SetTeardown([] {
        ReaderDialog* window = readerWindow;
        readerWindow = nullptr;
        delete window;
        CloseReaderLink();
    });
}
