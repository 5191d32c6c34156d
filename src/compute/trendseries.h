#pragma once

#include <QtGlobal>
#include <memory_resource>
#include <span>
#include <vector>

namespace kavro {

// Every point of a monitoring run: samples of several series taken at the
// same moments, kept for as long as the run lasts (a working shift is about
// 864 000 samples). A sample is one time (milliseconds since the epoch) and
// one value per series; times never decrease, so the points of a time span
// are found by binary search and only those need to reach the drawing.
//
// Samples live in fixed-size chunks, times and values of a chunk side by
// side: growing never copies what is stored (no pause while a large array
// moves) and the memory per point stays near its size, 9.6 bytes with five
// series. The chunks come from a memory resource, so that a failing
// allocation can be played in tests.
class TrendSeriesStore
{
public:
    // Samples per chunk; a power of two, so an index splits with a shift.
    static constexpr int ChunkShift = 12;
    static constexpr qsizetype ChunkSamples = qsizetype(1) << ChunkShift;

    explicit TrendSeriesStore(
        int seriesCount, std::pmr::memory_resource *memory = std::pmr::new_delete_resource());
    ~TrendSeriesStore();
    TrendSeriesStore(const TrendSeriesStore &) = delete;
    TrendSeriesStore &operator=(const TrendSeriesStore &) = delete;

    int SeriesCount() const { return seriesCount_; }

    // Adds one sample with a value per series (values.size() must be
    // SeriesCount()). A time before the last one is stored as the last time,
    // so that times never decrease (the clock may be set back during a run).
    // When the store cannot grow (allocation failure) it is emptied and false
    // is returned; the next sample starts afresh.
    bool Append(qint64 timeMs, std::span<const double> values);
    void Clear();

    qsizetype Size() const { return size_; }
    bool IsEmpty() const { return size_ == 0; }
    qint64 Time(qsizetype index) const
    {
        return TimesOf(chunks_[std::size_t(index >> ChunkShift)])[index & ChunkMask];
    }
    double Value(int series, qsizetype index) const
    {
        return ValuesOf(chunks_[std::size_t(index >> ChunkShift)], series)[index & ChunkMask];
    }

    // The samples with from <= time <= to: indexes [first, last).
    struct IndexRange
    {
        qsizetype first = 0;
        qsizetype last = 0;
        qsizetype Count() const { return last - first; }
        bool operator==(const IndexRange &) const = default;
    };
    IndexRange Within(qint64 fromMs, qint64 toMs) const;
    // The first sample with a time not before timeMs (Size() if none).
    qsizetype LowerBound(qint64 timeMs) const;
    // The first sample with a time after timeMs (Size() if none).
    qsizetype UpperBound(qint64 timeMs) const;

    // Memory held for the samples, including unused room in the last chunk.
    qsizetype AllocatedBytes() const;

private:
    static constexpr qsizetype ChunkMask = ChunkSamples - 1;

    // A chunk holds ChunkSamples times, then the values series by series.
    static qint64 *TimesOf(void *chunk) { return static_cast<qint64 *>(chunk); }
    static double *ValuesOf(void *chunk, int series)
    {
        return reinterpret_cast<double *>(TimesOf(chunk) + ChunkSamples)
            + qsizetype(series) * ChunkSamples;
    }
    std::size_t ChunkBytes() const;
    void AddChunk();

    int seriesCount_;
    std::pmr::memory_resource *memory_;
    std::pmr::vector<void *> chunks_;
    qsizetype size_ = 0;
};

} // namespace kavro
