#include "compute/trendseries.h"

#include <algorithm>
#include <exception>

namespace kavro {

TrendSeriesStore::TrendSeriesStore(int seriesCount, std::pmr::memory_resource *memory)
    : seriesCount_(std::max(seriesCount, 1))
    , memory_(memory)
    , chunks_(memory)
{ }

TrendSeriesStore::~TrendSeriesStore()
{
    Clear();
}

std::size_t TrendSeriesStore::ChunkBytes() const
{
    return std::size_t(ChunkSamples)
        * (sizeof(qint64) + sizeof(double) * std::size_t(seriesCount_));
}

void TrendSeriesStore::AddChunk()
{
    chunks_.reserve(chunks_.size() + 1); // may throw; nothing is allocated yet
    chunks_.push_back(memory_->allocate(ChunkBytes(), alignof(qint64)));
}

bool TrendSeriesStore::Append(qint64 timeMs, std::span<const double> values)
{
    if (values.size() != std::size_t(seriesCount_))
        return false;
    const qsizetype offset = size_ & ChunkMask;
    try {
        if (offset == 0 && (size_ >> ChunkShift) == qsizetype(chunks_.size()))
            AddChunk();
    } catch (const std::exception &) {
        // Out of memory for the run: start afresh rather than stop recording.
        Clear();
        return false;
    }
    void *chunk = chunks_[std::size_t(size_ >> ChunkShift)];
    TimesOf(chunk)[offset] = size_ > 0 ? std::max(timeMs, Time(size_ - 1)) : timeMs;
    for (int series = 0; series < seriesCount_; ++series)
        ValuesOf(chunk, series)[offset] = values[std::size_t(series)];
    ++size_;
    return true;
}

void TrendSeriesStore::Clear()
{
    for (void *chunk : chunks_)
        memory_->deallocate(chunk, ChunkBytes(), alignof(qint64));
    chunks_.clear();
    chunks_.shrink_to_fit();
    size_ = 0;
}

qsizetype TrendSeriesStore::LowerBound(qint64 timeMs) const
{
    qsizetype first = 0;
    qsizetype count = size_;
    while (count > 0) {
        const qsizetype half = count / 2;
        if (Time(first + half) < timeMs) {
            first += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    return first;
}

qsizetype TrendSeriesStore::UpperBound(qint64 timeMs) const
{
    qsizetype first = 0;
    qsizetype count = size_;
    while (count > 0) {
        const qsizetype half = count / 2;
        if (Time(first + half) <= timeMs) {
            first += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    return first;
}

TrendSeriesStore::IndexRange TrendSeriesStore::Within(qint64 fromMs, qint64 toMs) const
{
    if (toMs < fromMs)
        return {};
    const qsizetype first = LowerBound(fromMs);
    return { first, std::max(first, UpperBound(toMs)) };
}

qsizetype TrendSeriesStore::AllocatedBytes() const
{
    return qsizetype(chunks_.size() * ChunkBytes() + chunks_.capacity() * sizeof(void *));
}

} // namespace kavro
