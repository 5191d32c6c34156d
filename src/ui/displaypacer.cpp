#include "ui/displaypacer.h"

namespace kavro {

DisplayPacer::DisplayPacer(Show show, QObject *parent)
    : QObject(parent)
    , show_(std::move(show))
{
    clock_.start();
    lastShownMs_.fill(-IntervalMs);
    timer_.setSingleShot(true);
    timer_.setInterval(IntervalMs);
    connect(&timer_, &QTimer::timeout, this, &DisplayPacer::Flush);
}

void DisplayPacer::Offer(int quantity, double value)
{
    if (!IsQuantity(quantity))
        return;
    const auto index = std::size_t(quantity);
    if (clock_.elapsed() - lastShownMs_[index] >= IntervalMs && !waiting_[index].waiting) {
        ShowNow(quantity, value);
        return;
    }
    waiting_[index] = { true, value };
    if (!timer_.isActive())
        timer_.start();
}

void DisplayPacer::Flush()
{
    timer_.stop();
    for (int quantity = 0; quantity < QuantityCount; ++quantity) {
        Waiting &next = waiting_[std::size_t(quantity)];
        if (next.waiting) {
            next.waiting = false;
            ShowNow(quantity, next.value);
        }
    }
}

void DisplayPacer::ShowNow(int quantity, double value)
{
    lastShownMs_[std::size_t(quantity)] = clock_.elapsed();
    show_(quantity, value);
}

} // namespace kavro
