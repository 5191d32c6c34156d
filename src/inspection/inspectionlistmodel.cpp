#include "inspection/inspectionlistmodel.h"

#include <QColor>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
const QString Headers[InspectionListModel::ColumnCount] = { u"Дата и время"_s, u"Рег. знак"_s,
    u"Регион"_s, u"Марка"_s, u"Владелец"_s, u"Категория"_s, u"Заключение"_s };
// The colours of the verdict line in the measurement dialog.
constexpr QColor PassedColour(0x00, 0x80, 0x00);
constexpr QColor FailedColour(0xC0, 0x00, 0x00);
} // namespace

QString InspectionTimeText(const QDateTime &time)
{
    const QLocale locale;
    return locale.toString(time.date(), QLocale::ShortFormat) + u' '
        + locale.toString(time.time(), u"HH:mm:ss"_s);
}

QString InspectionCategoryText(int categoryCode)
{
    if (!IsMadeAfter1986(categoryCode))
        return u"до 01.10.1986"_s;
    return CategoryText(categoryCode).value_or(QString::number(categoryCode));
}

InspectionListModel::InspectionListModel(InspectionArchive &archive, QObject *parent)
    : QAbstractTableModel(parent)
    , archive_(archive)
{ }

StoreStatus InspectionListModel::SetFilter(const InspectionFilter &filter)
{
    beginResetModel();
    filter_ = filter;
    entries_.clear();
    total_ = 0;
    atEnd_ = true;
    StoreAnswer<QList<InspectionListEntry>> page = NextPage();
    // A page that is not full holds them all: no need to count.
    StoreAnswer<qint64> count { page.value.size(), {} };
    if (page.Ok() && page.value.size() == PageSize)
        count = archive_.Count(filter_);
    if (page.Ok() && count.Ok()) {
        entries_ = std::move(page.value);
        atEnd_ = entries_.size() < PageSize;
        total_ = count.value;
    }
    endResetModel();
    return { page.Ok() ? count.error : page.error };
}

StoreAnswer<QList<InspectionListEntry>> InspectionListModel::NextPage() const
{
    std::optional<InspectionListPosition> after;
    if (!entries_.isEmpty())
        after
            = InspectionListPosition { entries_.constLast().inspectedAt, entries_.constLast().ID };
    return archive_.List(filter_, after, PageSize);
}

int InspectionListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(entries_.size());
}

int InspectionListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant InspectionListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= entries_.size())
        return {};
    const InspectionListEntry &entry = entries_.at(index.row());
    if (role == Qt::ForegroundRole && index.column() == colVerdict)
        return entry.passed ? PassedColour : FailedColour;
    if (role != Qt::DisplayRole)
        return {};
    switch (Column(index.column())) {
    case colTime:
        return InspectionTimeText(entry.inspectedAt);
    case colNumber:
        return entry.federalNumber;
    case colRegion:
        return entry.region;
    case colMark:
        return entry.mark;
    case colOwner:
        return entry.owner;
    case colCategory:
        return InspectionCategoryText(entry.categoryCode);
    case colVerdict:
        return entry.verdictText;
    }
    return {};
}

QVariant InspectionListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return Headers[section];
}

bool InspectionListModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !atEnd_;
}

void InspectionListModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    StoreAnswer<QList<InspectionListEntry>> page = NextPage();
    if (!page.Ok()) {
        atEnd_ = true;
        Q_EMIT ReadFailed(page.error);
        return;
    }
    atEnd_ = page.value.size() < PageSize;
    if (page.value.isEmpty())
        return;
    const int first = int(entries_.size());
    beginInsertRows({}, first, first + int(page.value.size()) - 1);
    entries_ += page.value;
    endInsertRows();
}

} // namespace kavro
