#pragma once

#include <QRandomGenerator>
#include <QString>

namespace kavro::bench {

// A registration number such as "А123ВС": letters that look alike in
// Cyrillic and Latin, as on the plates.
QString PlateNumber(QRandomGenerator &random);

} // namespace kavro::bench
