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
    main.SetCommand(MainControl::Search, [&main] { RunSearch(main); });
    main.SetCommand(MainControl::Delete, [&main] { RunDeleteMenu(main); });
    main.SetCommand(MainControl::PlateTransfer, [&main] { RunPlateTransferMenu(main); });
    main.SetCommand(MainControl::FileMenu, [&main] { RunFileMenu(main); });
    main.SetCommand(MainControl::Whitelist, [&main] { RunWhitelistMenu(main); });
    AttachReaderWindow(main);
}

void AttachReaderWindow(MainDialog& main, ReaderWindowOptions options) {
    QPointer<MainDialog> owner(&main);
    main.SetCommand(MainControl::Reader, [owner, options] {
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
