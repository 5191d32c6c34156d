#pragma once

class QWidget;

namespace kavro {

// Centres a window on its owner's window (on the screen when it has none).
void CentreOnOwner(QWidget &window);

} // namespace kavro
