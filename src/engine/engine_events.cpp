#include "engine/engine_events.h"

#include <algorithm>

namespace vr410::engine {

EventStream::SubscriptionId EventStream::Subscribe(Handler handler) {
    const SubscriptionId id = NextId_++;
    Entries_.push_back({.Id = id, .Fn = std::move(handler)});
    return id;
}

void EventStream::Unsubscribe(SubscriptionId id) {
    // Only the handler goes now: Emit may be walking the list.
    for (Entry& entry : Entries_) {
        if (entry.Id == id) {
            entry.Fn = nullptr;
        }
    }
}

void EventStream::Emit(const EngineEvent& event) {
    const std::weak_ptr<int> alive = Alive_;
    const size_t count = Entries_.size(); // handlers subscribed meanwhile wait for the next event
    ++Depth_;
    for (size_t i = 0; i < count; ++i) {
        if (!Entries_[i].Fn) {
            continue;
        }
        const Handler handler = Entries_[i].Fn; // the handler may unsubscribe itself
        handler(event);
        if (alive.expired()) {
            return;
        }
    }
    // Entries leave the list only outside every Emit: an outer one still walks it by position.
    if (--Depth_ == 0) {
        std::erase_if(Entries_, [](const Entry& entry) { return !entry.Fn; });
    }
}

} // namespace vr410::engine
