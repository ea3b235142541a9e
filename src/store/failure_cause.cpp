#include "store/failure_cause.h"

#include "store/connection.h"

namespace chengxi::store {

std::string_view failureCause(const Connection& connection) {
    if (connection.lastFailureWasBusy()) {
        return kBusyCause;
    }
    if (connection.lastFailureWasDamage()) {
        return kDamageCause;
    }
    return {};
}

} // namespace chengxi::store
