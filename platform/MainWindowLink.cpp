#include "MainWindowLink.h"

#include "Errors.h"

namespace fc {

namespace {
IMainWindowLink* g_link = nullptr;
}

IMainWindowLink& MainWindow()
{
    if (!g_link)
        throw Exception(QStringLiteral("No main window"));
    return *g_link;
}

void SetMainWindow(IMainWindowLink* link) { g_link = link; }
bool HasMainWindow() { return g_link != nullptr; }

} // namespace fc

TDataset& FakeMainWindowLink::cdsMacchine()
{
    if (!macchine)
        throw Exception(QStringLiteral("No model dataset"));
    return *macchine;
}

TDataset& FakeMainWindowLink::cdsVersioni()
{
    if (!versioni)
        throw Exception(QStringLiteral("No version dataset"));
    return *versioni;
}
