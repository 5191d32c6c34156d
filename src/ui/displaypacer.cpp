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

void DisplayPacer::Offer(int quantity, double value, const QString &text)
{
    if (!IsQuantity(quantity))
        return;
    const auto index = std::size_t(quantity);
    if (clock_.elapsed() - lastShownMs_[index] >= IntervalMs && !waiting_[index].waiting) {
        ShowNow(quantity, value, text);
        return;
    }
    waiting_[index] = { true, value, text };
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
            ShowNow(quantity, next.value, next.text);
        }
    }
}

void DisplayPacer::ShowNow(int quantity, double value, const QString &text)
{
    lastShownMs_[std::size_t(quantity)] = clock_.elapsed();
    show_(quantity, value, text);
}

} // namespace kavro
