// The window's view history and the process-wide store of finished pictures.
#include "view/History.h"

#include <algorithm>
#include <stdexcept>

namespace view {

PictureStore& PictureStore::Instance()
{
    static PictureStore store;
    return store;
}

std::uint64_t PictureStore::Keep(std::vector<std::uint8_t> buffer)
{
    const std::uint64_t key = nextKey_++;
    bytes_ += buffer.size();
    kept_.push_back({key, std::make_shared<const std::vector<std::uint8_t>>(std::move(buffer))});
    // The newest buffer stays even when it alone is over the budget.
    while (bytes_ > budget_ && kept_.size() > 1) {
        bytes_ -= kept_.front().buffer->size();
        kept_.erase(kept_.begin());
    }
    return key;
}

std::shared_ptr<const std::vector<std::uint8_t>> PictureStore::Find(std::uint64_t key)
{
    const auto it = std::find_if(kept_.begin(), kept_.end(), [key](const Kept& k) { return k.key == key; });
    if (it == kept_.end())
        return nullptr;
    Kept found = std::move(*it);
    kept_.erase(it);
    kept_.push_back(found);
    return found.buffer;
}

void PictureStore::Drop(std::uint64_t key)
{
    const auto it = std::find_if(kept_.begin(), kept_.end(), [key](const Kept& k) { return k.key == key; });
    if (it == kept_.end())
        return;
    bytes_ -= it->buffer->size();
    kept_.erase(it);
}

ViewHistory::~ViewHistory()
{
    for (Entry& e : views_)
        Release(e);
}

void ViewHistory::Release(Entry& e)
{
    if (e.key != 0)
        store_.Drop(e.key);
    e.key = 0;
}

void ViewHistory::Record(const HistoryView& view)
{
    if (!views_.empty()) {
        for (std::size_t i = current_ + 1; i < views_.size(); ++i)
            Release(views_[i]);
        views_.resize(current_ + 1);
    }
    views_.push_back({view, 0});
    if (views_.size() > kMaxViews) {
        Release(views_.front());
        views_.erase(views_.begin());
    }
    current_ = views_.size() - 1;
}

bool ViewHistory::CanStep(int step) const
{
    if (views_.empty())
        return false;
    const long long target = static_cast<long long>(current_) + step;
    return target >= 0 && target < static_cast<long long>(views_.size());
}

const HistoryView& ViewHistory::Step(int step)
{
    if (!CanStep(step))
        throw std::logic_error("no view to go to");
    current_ = static_cast<std::size_t>(static_cast<long long>(current_) + step);
    return views_[current_].view;
}

void ViewHistory::KeepCurrent(std::vector<std::uint8_t> buffer)
{
    if (views_.empty())
        return;
    Entry& e = views_[current_];
    Release(e);
    e.key = store_.Keep(std::move(buffer));
}

std::shared_ptr<const std::vector<std::uint8_t>> ViewHistory::CurrentBuffer() const
{
    if (views_.empty() || views_[current_].key == 0)
        return nullptr;
    return store_.Find(views_[current_].key);
}

} // namespace view
