#pragma once

#include <QIcon>

namespace kavro {

// The main window's image list: the action pictures by their position
// (0, 2, 4, ... 20). A position without a picture gives an empty icon.
QIcon ActionImage(int position);

// The tool bar picture of the monitoring command, which has none in the list.
QIcon MonitoringToolBarImage();

} // namespace kavro
