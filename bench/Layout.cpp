#include "Layout.h"

bool StandInLayout(RegistryStandIn& standIn, const std::string& layout, std::string& error) {
    std::string file = layout.find(".reg") != std::string::npos ? layout : SING_LAYOUT_DIR "/" + layout + ".reg";
    if (!standIn.Create(error) || !standIn.LoadFiles({file}, error))
        return false;
    standIn.KeepMachineNetworkCards();
    return standIn.Redirect(error);
}
