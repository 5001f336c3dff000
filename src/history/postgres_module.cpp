#include "history/postgres_module.h"

namespace torv::history {

Result<std::unique_ptr<SqlConnection>> OpenPostgresThroughModule(const std::string& uri) {
  static const Result<const PostgresModule*> module =
      LoadModule<PostgresModule>(kPostgresModuleFile, kPostgresModuleEntry, ModuleDirectories());
  if (!module) {
    return Failure{"this installation has no PostgreSQL stores (" + module.failure().reason + ")"};
  }
  return (*module)->open(uri);
}

}  // namespace torv::history
