#include "DataPlaneRecorder.h"

namespace SyncSim {

uint32_t DataPlaneRecorder::ordered(const Order& order) {
    orders_.push_back(order);
    const bool request = order.kind == Order::OUTPUT_CREATE || order.kind == Order::OUTPUT_CHANGE ||
                         order.kind == Order::INPUT_CREATE || order.kind == Order::INPUT_CHANGE;
    rejected_.push_back(request && rejectErrorCode_ != 0);
    return rejectErrorCode_;
}

std::vector<DataPlaneRecorder::Order> DataPlaneRecorder::ordersOf(Order::Kind kind, size_t from) const {
    std::vector<Order> found;
    for (size_t i = from; i < orders_.size(); ++i)
        if (orders_[i].kind == kind)
            found.push_back(orders_[i]);
    return found;
}

}  // namespace SyncSim
