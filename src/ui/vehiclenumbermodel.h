#pragma once

#include "inspection/vehiclestore.h"

#include <QAbstractListModel>

namespace kavro {

// The number list of the vehicle dialog: the registration numbers of the
// register in table order, each item's Qt::UserRole data the row's ID. It
// shows the loaded rows themselves, so a register of 100,000 vehicles goes
// into the combo box in one reset, without one item object per row.
class VehicleNumberModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit VehicleNumberModel(QObject *parent = nullptr);

    void Reset(QList<CarListEntry> entries);
    qint64 IdAt(int row) const { return entries_.at(row).ID; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QList<CarListEntry> entries_;
};

} // namespace kavro
