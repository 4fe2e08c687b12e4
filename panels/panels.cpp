#include "panels.h"

#include "cat1_panel.h"
#include "cat2_panel.h"
#include "cat3_panel.h"
#include "cat81_panel.h"
#include "cat82_panel.h"
#include "cat83_panel.h"
#include "cat84_panel.h"

void ResetAllPanels(Zel5100UtilDlg& window)
{
    ResetCat1Panel(window);
    ResetCat2Panel(window);
    ResetCat3Panel(window);
    ResetCat81Panel(window);
    ResetCat82Panel(window);
    ResetCat83Panel(window);
    ResetCat84Panel(window);
}

void RefreshAllPanels(Zel5100UtilDlg& window)
{
    RefreshCat1Panel(window);
    RefreshCat2Panel(window);
    RefreshCat3Panel(window);
    RefreshCat81Panel(window);
    RefreshCat82Panel(window);
    RefreshCat83Panel(window);
    RefreshCat84Panel(window);
}

void RoutePanelCommands(Zel5100UtilDlg& window)
{
    RouteCat1Commands(window);
    RouteCat2Commands(window);
    RouteCat3Commands(window);
    RouteCat81Commands(window);
    RouteCat82Commands(window);
    RouteCat83Commands(window);
    RouteCat84Commands(window);
}
