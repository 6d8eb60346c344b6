#include "CommandWiring.h"

#include "MainDialog.h"

void WireMainWindow(MainDialog& main) {
    (void)main;
}
