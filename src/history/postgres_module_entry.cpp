// The PostgreSQL module's entry: the table history/postgres_module.cpp loads.
#include "history/postgres_connection.h"
#include "history/postgres_module.h"

namespace torv::history {
namespace {

const PostgresModule kModule{{TORVDOC_VERSION, sizeof(PostgresModule)}, &OpenPostgres};

}  // namespace
}  // namespace torv::history

extern "C" __attribute__((visibility("default"))) const torv::history::PostgresModule*
torvdoc_postgresql_module() {
  return &torv::history::kModule;
}
