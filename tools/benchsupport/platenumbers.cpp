#include "platenumbers.h"

using namespace Qt::StringLiterals;

namespace kavro::bench {

QString PlateNumber(QRandomGenerator &random)
{
    static const QString Letters = u"АВЕКМНОРСТУХ"_s;
    auto letter = [&] { return Letters.at(random.bounded(Letters.size())); };
    return letter() + u"%1"_s.arg(random.bounded(1000), 3, 10, QChar(u'0')) + letter() + letter();
}

} // namespace kavro::bench
