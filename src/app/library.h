#pragma once

#include "auth/login_state.h"
#include "catalog/catalogue_state.h"
#include "circulation/circulation_state.h"
#include "exchange/exchange_state.h"
#include "readers/readers_state.h"
#include "store/database.h"

namespace chengxi::app {

// Everything the program keeps between events: the access objects of the
// database and the state each subsystem holds. It lives as long as the
// program object; the cleanup at the end closes the database, so nothing an
// operation might still reach has gone away.
struct Library {
    store::Database database;
    auth::LoginState login;
    catalog::CatalogueState catalogue;
    readers::ReadersState readers;
    circulation::CirculationState circulation;
    exchange::ExchangeState exchange;
};

} // namespace chengxi::app
