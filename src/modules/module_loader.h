// Parts of the installation that need large libraries (the PDF writer needs
// Qt, the PostgreSQL store libpq) are shared objects loaded when a command
// first needs them, so that everything else starts without those libraries.
// Each module exports one C function, its entry, that gives a table of
// function pointers starting with a ModuleHeader.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "archive/result.h"

namespace torv {

// What every module's table starts with: the program version it was built
// for and the size of its table. Functions pass C++ objects across, so a
// module built for another version of the program is refused.
struct ModuleHeader {
  const char* programVersion;
  std::size_t tableSize;
};

// Where modules are looked for, in order: only $TORVDOC_MODULE_DIR when it
// is set; else the installation's module folder beside the running program
// (bin/../lib/torvdoc/modules), then the build tree's when the program runs from it.
std::vector<std::string> ModuleDirectories();

// The address of `entry` in the shared object `file` of the first of
// `directories` that holds it. The object stays loaded for the life of the
// process. A failure's reason reads "MODULE: REASON".
Result<void*> LoadModuleEntry(std::string_view file, std::string_view entry,
                              const std::vector<std::string>& directories);

// Checks a module's table header against this program; a failure's reason
// is the part after "MODULE: ".
Status CheckModuleHeader(const ModuleHeader& header, std::size_t expectedSize);

// The table of type `Table` (whose first member is a ModuleHeader) that the
// module `file` gives from its entry function `entry`.
template <typename Table>
Result<const Table*> LoadModule(std::string_view file, std::string_view entry,
                                const std::vector<std::string>& directories) {
  Result<void*> address = LoadModuleEntry(file, entry, directories);
  if (!address) return address.failure();
  using EntryFunction = const Table* (*)();
  // A function pointer from dlsym: the POSIX way, not expressible otherwise.
  const Table* table = reinterpret_cast<EntryFunction>(*address)();
  if (table == nullptr) return Failure{std::string(file) + ": its entry gave no table"};
  if (Status checked = CheckModuleHeader(table->header, sizeof(Table)); !checked) {
    return Failure{std::string(file) + ": " + checked.failure().reason};
  }
  return table;
}

}  // namespace torv
