#pragma once

#include "auth/login_state.h"
#include "catalog/catalogue_state.h"
#include "readers/readers_state.h"
#include "store/database.h"

namespace chengxi::app {

// Everything the program keeps between events: the access objects of the
// database and the state each subsystem holds. Created at start, destroyed by
// the cleanup at the end.
struct Library {
    store::Database database;
    auth::LoginState login;
    catalog::CatalogueState catalogue;
    readers::ReadersState readers;
};

} // namespace chengxi::app
