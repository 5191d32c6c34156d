#include "ui/vehiclenumbermodel.h"

namespace kavro {

VehicleNumberModel::VehicleNumberModel(QObject *parent)
    : QAbstractListModel(parent)
{ }

void VehicleNumberModel::Reset(QList<CarListEntry> entries)
{
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

int VehicleNumberModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(entries_.size());
}

QVariant VehicleNumberModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= entries_.size())
        return {};
    const CarListEntry &entry = entries_.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return entry.FederalNumber;
    case Qt::UserRole:
        return entry.ID;
    default:
        return {};
    }
}

} // namespace kavro
