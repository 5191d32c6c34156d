#pragma once

#include "inspection/inspectionarchive.h"

#include <QAbstractTableModel>

namespace kavro {

// The archive's list, newest first, read a page at a time as the view
// scrolls (fetchMore), so that opening it costs the same with 100 or
// 100,000 inspections.
class InspectionListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { colTime, colNumber, colRegion, colMark, colOwner, colCategory, colVerdict };
    static constexpr int ColumnCount = 7;
    static constexpr int PageSize = 100;

    explicit InspectionListModel(InspectionArchive &archive, QObject *parent = nullptr);

    // Shows the inspections that pass filter, from the newest; counts them.
    // Returns the database's error text (the list is then empty).
    StoreStatus SetFilter(const InspectionFilter &filter);
    const InspectionFilter &Filter() const { return filter_; }
    // Inspections that pass the filter, also those not read yet.
    qint64 TotalCount() const { return total_; }
    const InspectionListEntry &EntryAt(int row) const { return entries_.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

Q_SIGNALS:
    // Reading the next page failed; the list stays as far as it was read.
    void ReadFailed(const QString &error);

private:
    StoreAnswer<QList<InspectionListEntry>> NextPage() const;

    InspectionArchive &archive_;
    InspectionFilter filter_;
    QList<InspectionListEntry> entries_;
    qint64 total_ = 0;
    bool atEnd_ = true;
};

// The texts of the list's cells.
QString InspectionTimeText(const QDateTime &time); // short date and time with seconds
QString InspectionCategoryText(int categoryCode); // "M1" ... "N3", "до 01.10.1986"

} // namespace kavro
