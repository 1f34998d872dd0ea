#include "DataPlaneRecorder.h"

namespace SyncSim {

uint32_t DataPlaneRecorder::ordered(const Order& order) {
    orders_.push_back(order);
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
