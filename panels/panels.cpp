#include "panels.h"

#include "cat1_panel.h"
#include "cat2_panel.h"
#include "cat3_panel.h"
#include "cat81_panel.h"
#include "cat82_panel.h"
#include "cat83_panel.h"
#include "cat84_panel.h"

const std::vector<const PanelControls*>& AllPanelControls() {
    static const std::vector<const PanelControls*> panels{
        &Cat1Panel(), &Cat2Panel(), &Cat3Panel(), &Cat81Panel(), &Cat82Panel(), &Cat83Panel(), &Cat84Panel(),
    };
    return panels;
}

void ResetAllPanels(WindowHost& window) {
    for (const PanelControls* panel : AllPanelControls())
        ResetPanel(window, *panel);
}

void RefreshAllPanels(WindowHost& window) {
    for (const PanelControls* panel : AllPanelControls())
        RefreshPanel(window, *panel);
}

void RoutePanelCommands(WindowHost& window) {
    for (const PanelControls* panel : AllPanelControls()) {
        if (panel == &Cat3Panel())
            RouteCat3Commands(window);  // also Reboot and Change
        else
            RoutePanel(window, *panel);
    }
}
