// The PostgreSQL store's connection lives in a module of its own, so that
// only what uses a server loads libpq (and its TLS, Kerberos and LDAP
// libraries).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "archive/result.h"
#include "history/sql_connection.h"
#include "modules/module_loader.h"

namespace torv::history {

// The module's table (its entry function is kPostgresModuleEntry).
struct PostgresModule {
  ModuleHeader header;
  // Connects to the server named by the libpq URI `uri`. A failure names the
  // host and the database; no text of it holds the password.
  Result<std::unique_ptr<SqlConnection>> (*open)(const std::string& uri);
};
inline constexpr std::string_view kPostgresModuleFile = "torvdoc-postgresql.so";
inline constexpr std::string_view kPostgresModuleEntry = "torvdoc_postgresql_module";

// OpenPostgres through the module, loaded on the first call; without it
// "this installation has no PostgreSQL stores (MODULE: REASON)".
Result<std::unique_ptr<SqlConnection>> OpenPostgresThroughModule(const std::string& uri);

}  // namespace torv::history
