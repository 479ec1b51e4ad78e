#include "platform/Observers.h"

namespace platform {

Subscription& Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        end();
        list_ = std::exchange(other.list_, nullptr);
        id_ = other.id_;
    }
    return *this;
}

void Subscription::end() {
    if (list_)
        std::exchange(list_, nullptr)->remove(id_);
}

}  // namespace platform
